// The menu's pending image action on the histogram and 1D plots: PNG and SVG of the plot's
// size, the clipboard, help, one action per arming, a right click cancels, the cursor stack.
#define QTEST_QPA_MOUSE_HANDLING
#include "channelplotstest.h"

#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "shell/appresources.h"
#include "shell/helpdialog.h"
#include "shell/imageactions.h"

#include "testmain.h"

#include <QClipboard>
#include <QRegularExpression>
#include <QEnterEvent>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <memory>

using namespace ChannelPlotsTest;

namespace {

// A plot of either kind inside a shown window, titled as the pages title them.
struct ShownPlot {
    explicit ShownPlot(const QString &kind)
    {
        host.reset(new QWidget);
        host->resize(640, 480);
        auto *layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(0, 0, 0, 0);
        if (kind == QLatin1String("histogram"))
            plot = new ZetanHistogramPlot(host.get());
        else
            plot = new Zetan1Plot(host.get());
        layout->addWidget(plot);
        plot->SetTitleName(QwtPlot::xBottom, QStringLiteral("FAM(Target)"));
        plot->SetTitleName(QwtPlot::yLeft, QStringLiteral("Count"));
        host->show();
        QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    }
    ~ShownPlot()
    {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
    void press(Qt::MouseButton button) const
    {
        QTest::mousePress(plot->canvas(), button, Qt::NoModifier, plot->canvas()->rect().center());
        QTest::mouseRelease(plot->canvas(), button, Qt::NoModifier, plot->canvas()->rect().center());
    }
    std::unique_ptr<QWidget> host;
    QwtBasic *plot = nullptr;
};

// Answers save prompts with a path and counts them.
struct Prompt {
    explicit Prompt(const QString &answer)
    {
        setSavePrompt([this, answer](QWidget *, const QString &, const QString &proposed, const QString &) {
            proposals.append(proposed);
            return answer;
        });
    }
    ~Prompt() { setSavePrompt(nullptr); }
    QStringList proposals;
};

} // namespace

class TestImageActions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void saveFiles_data();
    void saveFiles();
    void copyAndHelp_data();
    void copyAndHelp();
    void rightClickCancels_data();
    void rightClickCancels();
    void cursorStack_data();
    void cursorStack();

private:
    void kinds();
};

void TestImageActions::kinds()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("histogram") << "histogram" << "histogram";
    QTest::newRow("1D") << "1D" << "1DPlot";
}

void TestImageActions::saveFiles_data()
{
    kinds();
}

void TestImageActions::saveFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, suffix);
    currentFileBaseName = QStringLiteral("run3");
    ShownPlot shown(kind);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("plot.png"));
    const QString svg = dir.filePath(QStringLiteral("plot.svg"));
    {
        Prompt prompt(png);
        imageActionMode = 1;
        shown.press(Qt::LeftButton);
        QCOMPARE(imageActionMode, 0);
        // A second press does not save again.
        shown.press(Qt::LeftButton);
        QCOMPARE(prompt.proposals, QStringList{QStringLiteral("run3_FAM(Target)_Count_%1.png").arg(suffix)});
    }
    QCOMPARE(QImageReader(png).size(), shown.plot->size());
    {
        Prompt prompt(svg);
        imageActionMode = 2;
        shown.press(Qt::LeftButton);
        QCOMPARE(prompt.proposals, QStringList{QStringLiteral("run3_FAM(Target)_Count_%1.svg").arg(suffix)});
    }
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("viewBox=\"0 0 (\\d+) (\\d+)\"")).match(content);
    QVERIFY(box.hasMatch());
    QCOMPARE(QSize(box.captured(1).toInt(), box.captured(2).toInt()), shown.plot->size());
    // The picture itself is in it.
    QVERIFY(content.contains(QStringLiteral("<image")));
    {
        // Cancelling the prompt writes nothing.
        Prompt prompt{QString()};
        const QString other = dir.filePath(QStringLiteral("other.png"));
        imageActionMode = 1;
        shown.press(Qt::LeftButton);
        QVERIFY(!QFile::exists(other));
        QCOMPARE(prompt.proposals.size(), 1);
    }
}

void TestImageActions::copyAndHelp_data()
{
    kinds();
}

void TestImageActions::copyAndHelp()
{
    QFETCH(QString, kind);
    ShownPlot shown(kind);
    QGuiApplication::clipboard()->clear();
    imageActionMode = 3;
    shown.press(Qt::LeftButton);
    const QPixmap copied = QGuiApplication::clipboard()->pixmap();
    QCOMPARE(copied.size(), shown.plot->size());

    ModalAnswerer answerer([](QWidget *modal) { modal->close(); });
    imageActionMode = 4;
    shown.press(Qt::LeftButton);
    QCOMPARE(answerer.seen(), QStringList{QStringLiteral("HelpDialog")});
    QCOMPARE(imageActionMode, 0);
    const QString expected = getHelpText(QStringLiteral("AnalyzePlot"),
                                         kind == QLatin1String("histogram") ? QStringLiteral("Histogram") : QStringLiteral("1DDotPlot"));
    QVERIFY(!expected.isEmpty());
    // No second help dialog on the next press.
    shown.press(Qt::LeftButton);
    QCOMPARE(answerer.seen().size(), 1);
}

void TestImageActions::rightClickCancels_data()
{
    kinds();
}

void TestImageActions::rightClickCancels()
{
    QFETCH(QString, kind);
    ShownPlot shown(kind);
    Prompt prompt(QStringLiteral("/nonexistent/never.png"));
    imageActionMode = 1;
    shown.press(Qt::RightButton);
    QCOMPARE(imageActionMode, 0);
    shown.press(Qt::LeftButton);
    QVERIFY(prompt.proposals.isEmpty());
}

void TestImageActions::cursorStack_data()
{
    kinds();
}

void TestImageActions::cursorStack()
{
    QFETCH(QString, kind);
    ShownPlot shown(kind);
    imageActionMode = 4;
    for (int i = 0; i < 25; ++i) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(shown.plot, &enter);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(shown.plot, &leave);
    }
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(shown.plot, &enter);
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BitmapCursor);
    QApplication::restoreOverrideCursor();
    QVERIFY(!QApplication::overrideCursor());
    imageActionMode = 0;
}

LUMARA_TEST_GUI_MAIN(TestImageActions)
#include "tst_imageactions.moc"
