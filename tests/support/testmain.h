#pragma once
// Test entry points: every test runs with LUMARA_ROOT in a temporary folder so nothing
// lands in the user's real per-machine folder.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace LumaraTest {

// Points LUMARA_ROOT at a fresh temporary folder for the lifetime of the object.
class ScopedRoot {
public:
    ScopedRoot();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Under the thread checker, marks the hand-overs of queued signals and events, which cross
// threads under Qt's own locks; elsewhere nothing. Made by ScopedRoot.
void markQtHandovers();

// Source tree folder (tests/fixtures etc.), from the build's environment.
QString sourcePath(const QString &relative);

} // namespace LumaraTest

#define LUMARA_TEST_MAIN_IMPL(AppClass, TestObject)                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        AppClass app(argc, argv);                                                                  \
        LumaraTest::ScopedRoot root;                                                               \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define LUMARA_TEST_MAIN(TestObject) LUMARA_TEST_MAIN_IMPL(QCoreApplication, TestObject)

// Widget tests: a QApplication instead. Only available where the test links Qt5::Widgets
// (which defines QT_WIDGETS_LIB), so this support library itself stays free of widgets.
// Tests that drag with the mouse define QTEST_QPA_MOUSE_HANDLING before including this
// header, so that moves carry the held button.
#ifdef QT_WIDGETS_LIB
#include <QApplication>
#define LUMARA_TEST_GUI_MAIN(TestObject) LUMARA_TEST_MAIN_IMPL(QApplication, TestObject)
#endif
