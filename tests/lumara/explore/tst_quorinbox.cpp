// The rich-text drop-down: entries as name and green superscript tag, long names shortened in
// the middle for the eye but reported whole, one report per press, and the difference between
// emptying the box and emptying its shown text.
#define QTEST_QPA_MOUSE_HANDLING
#include "pages/Explore/quorinbox.h"

#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "testmain.h"

#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

QString plain(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText();
}

const QString LongName = QStringLiteral("A very long target name that cannot fit in the box at all");

std::unique_ptr<QuorinBox> shownBox()
{
    auto box = std::make_unique<QuorinBox>();
    box->setFixedWidth(180);
    box->show();
    if (!QTest::qWaitForWindowExposed(box.get()))
        return nullptr;
    return box;
}

} // namespace

class TestQuorinBox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void entries_data();
    void entries();
    void pressReportsOnce_data();
    void pressReportsOnce();
    void clearing();
    void selectIndexOutOfRange_data();
    void selectIndexOutOfRange();
};

void TestQuorinBox::entries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("shortened");
    QTest::newRow("short name with a tag") << QStringLiteral("FAM-VIC") << QStringLiteral("2D") << false;
    QTest::newRow("empty tag") << QStringLiteral("Pop 1") << QString() << false;
    QTest::newRow("long name") << LongName << QStringLiteral("1D") << true;
    QTest::newRow("markup in a name stays text") << QStringLiteral("a<b>") << QStringLiteral("3D") << false;
    QTest::newRow("a name holding %1 shows as typed") << QStringLiteral("P%1") << QStringLiteral("1D") << false;
    QTest::newRow("place markers in name and tag") << QStringLiteral("A%2 %1") << QStringLiteral("%1") << false;
}

void TestQuorinBox::entries()
{
    QFETCH(QString, name);
    QFETCH(QString, tag);
    QFETCH(bool, shortened);
    auto box = shownBox();
    QVERIFY(box);
    box->addHtmlItem(qMakePair(QStringLiteral("first"), QStringLiteral("1D")));
    box->addHtmlItem(qMakePair(name, tag));
    QCOMPARE(box->count(), 2);
    QListWidgetItem *item = box->list()->item(1);
    const QString html = item->data(QuorinBox::HtmlRole).toString();
    QCOMPARE(item->data(QuorinBox::NameRole).toString(), name);
    // The name in black, the tag in green superscript.
    QVERIFY(html.contains(QLatin1String("color:#000000")));
    QVERIFY(html.contains(QLatin1String("color:#009944; vertical-align:super")));
    const QString shown = plain(html).simplified();
    if (shortened) {
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(!shown.contains(name));
        QVERIFY(shown.startsWith(name.left(3)));
        QVERIFY(shown.endsWith(name.right(2) + QLatin1Char(' ') + tag));
    } else {
        QCOMPARE(shown, (name + QLatin1Char(' ') + tag).trimmed());
    }
    auto *label = qobject_cast<QLabel *>(box->list()->itemWidget(item));
    QVERIFY(label);
    QCOMPARE(label->text(), html);
    // Chosen, the full name is what the box reports.
    box->selectIndex(1);
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(box->currentName(), name);
    QCOMPARE(box->labelText(), html);
}

void TestQuorinBox::pressReportsOnce_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("first") << 0;
    QTest::newRow("long, last") << 2;
}

void TestQuorinBox::pressReportsOnce()
{
    QFETCH(int, row);
    auto box = shownBox();
    QVERIFY(box);
    const QStringList names = {QStringLiteral("T1"), QStringLiteral("T2"), LongName};
    for (const QString &name : names)
        box->addHtmlItem(qMakePair(name, QStringLiteral("1D")));
    QSignalSpy clicks(box.get(), &QuorinBox::quorinBoxClick);
    box->showPopup();
    QListWidget *list = box->list();
    QTRY_VERIFY(list->isVisible());
    const QRect rect = list->visualItemRect(list->item(row));
    QVERIFY(!rect.isEmpty());
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(clicks.at(0).at(0).toString(), names.at(row));
    QCOMPARE(box->currentIndex(), row);
    QCOMPARE(box->currentName(), names.at(row));
    QCOMPARE(box->labelText(), list->item(row)->data(QuorinBox::HtmlRole).toString());
    QTRY_VERIFY(!list->isVisible());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCOMPARE(clicks.count(), 1);
}

void TestQuorinBox::clearing()
{
    auto box = shownBox();
    QVERIFY(box);
    box->addHtmlItem(qMakePair(QStringLiteral("T1"), QStringLiteral("1D")));
    box->addHtmlItem(qMakePair(QStringLiteral("T2"), QStringLiteral("1D")));
    box->selectIndex(1);
    box->clearLabel();
    QCOMPARE(box->labelText(), QString());
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->currentName(), QStringLiteral("T2"));
    box->selectIndex(0);
    QVERIFY(!box->labelText().isEmpty());
    box->clearItems();
    QCOMPARE(box->count(), 0);
    QCOMPARE(box->list()->count(), 0);
    QCOMPARE(box->labelText(), QString());
    QCOMPARE(box->currentName(), QString());
}

void TestQuorinBox::selectIndexOutOfRange_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("index");
    QTest::newRow("empty box, 0") << 0 << 0;
    QTest::newRow("past the end") << 2 << 2;
    QTest::newRow("negative") << 2 << -1;
}

void TestQuorinBox::selectIndexOutOfRange()
{
    QFETCH(int, entries);
    QFETCH(int, index);
    auto box = shownBox();
    QVERIFY(box);
    for (int i = 0; i < entries; ++i)
        box->addHtmlItem(qMakePair(QStringLiteral("T%1").arg(i), QString()));
    if (entries > 0)
        box->selectIndex(entries - 1);
    const QString label = box->labelText();
    const int current = box->currentIndex();
    box->selectIndex(index);
    QCOMPARE(box->currentIndex(), current);
    QCOMPARE(box->labelText(), label);
    QCOMPARE(box->currentName(), entries > 0 ? QStringLiteral("T%1").arg(entries - 1) : QString());
}

LUMARA_TEST_GUI_MAIN(TestQuorinBox)
#include "tst_quorinbox.moc"
