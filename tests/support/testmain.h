#pragma once
// Test entry points: every test runs with LUMARA_ROOT in a temporary folder so nothing
// lands in the user's real per-machine folder.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace LumaraTest {

// Points LUMARA_ROOT at a fresh temporary folder for the lifetime of the object.
class ScopedRoot {
public:
    ScopedRoot();
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// Without a login session (CI, containers) XDG_RUNTIME_DIR is unset and Qt warns on standard
// error as the application starts; for the lifetime of the object it names a private temporary
// folder instead. A set one is kept.
class RuntimeFolder {
public:
    RuntimeFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Source tree folder (tests/fixtures etc.), from the build's environment.
QString sourcePath(const QString &relative);

} // namespace LumaraTest

#define LUMARA_TEST_MAIN_IMPL(AppClass, TestObject)                                                \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        LumaraTest::RuntimeFolder runtime;                                                         \
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
