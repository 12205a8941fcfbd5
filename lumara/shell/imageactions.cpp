#include "shell/imageactions.h"

#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"

#include "qwtbasic.h"

#include <qwt_panner.h>
#include <qwt_plot.h>
#include <qwt_text.h>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QtDebug>

namespace {

QString translated(const QWidget *view, const char *text)
{
    return QCoreApplication::translate(view->metaObject()->className(), text);
}

SavePrompt &savePrompt()
{
    static SavePrompt prompt;
    return prompt;
}

QString askSavePath(QWidget *view, const QString &caption, const QString &proposed, const QString &filter)
{
    if (savePrompt())
        return savePrompt()(view, caption, proposed, filter);
    return QFileDialog::getSaveFileName(view, caption, proposed, filter);
}

void reportUnsaved(const QString &path)
{
    qWarning().noquote() << "The image could not be written to" << path;
    auto *message = new DialogMessage(0, QStringLiteral("The image could not be saved."));
    centreOnActiveWindow(message);
    message->exec();
    message->deleteLater();
}

void savePng(QWidget *view, const QString &proposed)
{
    const QString path = askSavePath(view, translated(view, "Save File"), proposed,
                                     translated(view, "PNG Files(*.png)"));
    if (path.isEmpty())
        return;
    if (!view->grab().save(path, "png") || !QFileInfo::exists(path))
        reportUnsaved(path);
}

void saveSvg(QWidget *view, const QString &proposed)
{
    const QString path = askSavePath(view, translated(view, "Save SVG File"), proposed,
                                     translated(view, "SVG Files(*.svg)"));
    if (path.isEmpty())
        return;
    // The grab first: the generator's file is opened by the painter below.
    const QImage image = view->grab().toImage();
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(view->size());
    // Without a view box a viewer sizes the document by its physical size, and the picture
    // no longer fills it.
    generator.setViewBox(QRect(QPoint(0, 0), view->size()));
    QPainter painter;
    if (!painter.begin(&generator)) {
        reportUnsaved(path);
        return;
    }
    painter.drawImage(QPoint(0, 0), image);
    if (!painter.end() || !QFileInfo::exists(path))
        reportUnsaved(path);
}

void showHelp(const ImageActionNames &names)
{
    auto *dialog = new HelpDialog(getHelpText(names.helpGroup, names.helpKey));
    const int side = names.helpScaled ? int(200 * uiScaleFactor) : 200;
    dialog->setMinimumSize(side, side);
    dialog->adjustSize();
    centreOnActiveWindow(dialog);
    dialog->exec();
    dialog->deleteLater();
}

void setPlotSheet(QwtBasic *plot, const QString &sheet)
{
    plot->setStyleSheet(sheet);
    plot->canvas()->setStyleSheet(sheet);
}

} // namespace

ImageActionNames plotImageNames(const QwtPlot *plot, const QString &suffix, const QString &helpKey)
{
    const QString stem = currentFileBaseName + QLatin1Char('_') + plot->axisTitle(QwtPlot::xBottom).text()
                       + QLatin1Char('_') + plot->axisTitle(QwtPlot::yLeft).text() + QLatin1Char('_') + suffix;
    return ImageActionNames{stem + QStringLiteral(".png"), stem + QStringLiteral(".svg"),
                            QStringLiteral("AnalyzePlot"), helpKey};
}

void setSavePrompt(SavePrompt prompt)
{
    savePrompt() = std::move(prompt);
}

void setViewCursor(const QCursor &cursor)
{
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(cursor);
    else
        QApplication::setOverrideCursor(cursor);
}

QCursor pictureCursor(const QString &path)
{
    const QPixmap picture(path);
    return QCursor(picture, picture.width() / 2, picture.height() / 2);
}

void runImageAction(QWidget *view, int mode, const ImageActionNames &names)
{
    switch (mode) {
    case 1:
        savePng(view, names.pngName);
        break;
    case 2:
        saveSvg(view, names.svgName);
        break;
    case 3:
        QGuiApplication::clipboard()->setPixmap(view->grab(), QClipboard::Clipboard);
        break;
    case 4:
        showHelp(names);
        break;
    default:
        break;
    }
}

void plotImageActionEnter(QwtBasic *plot, const QString &helpCursor, const QString &saveCursor)
{
    const int mode = imageActionMode;
    if (mode == 0) {
        setViewCursor(QCursor(Qt::CrossCursor));
        return;
    }
    setViewCursor(pictureCursor(mode == 4 ? helpCursor : saveCursor));
    plot->SetMaskBorderVisible(true);
    plot->SetMaskBackgroundVisible(true);
    setPlotSheet(plot, QStringLiteral("background-color: #F0F8FF"));
    plot->SetMaskBorderWidth(2);
    plot->updateLayout();
    plot->replot();
}

void plotImageActionLeave(QwtBasic *plot)
{
    setViewCursor(QCursor(Qt::ArrowCursor));
    if (imageActionMode == 0)
        return;
    plot->SetMaskBorderVisible(false);
    plot->SetMaskBackgroundVisible(false);
    plot->SetMaskBorderWidth(2);
    setPlotSheet(plot, QStringLiteral("background-color: rgb(255,255,255)"));
    plot->updateLayout();
    plot->replot();
}

void plotImageActionPress(QwtBasic *plot, const QMouseEvent *event, const ImageActionNames &names)
{
    const int mode = imageActionMode;
    if (mode == 0)
        return;
    // Cleared before the action: its dialogs move the pointer out of and back into the plot,
    // and the plot must not arm itself again meanwhile.
    imageActionMode = 0;
    // A press on the canvas has already started a pan, whose overlay shows the canvas as it
    // was, mask and all, and would be in every picture taken now. An action is no pan.
    for (QwtPanner *panner : plot->canvas()->findChildren<QwtPanner *>())
        panner->hide();
    // Every button takes the mask down, or it would stay up with nothing pending.
    plot->SetMaskBorderVisible(false);
    plot->SetMaskBackgroundVisible(false);
    setViewCursor(QCursor(Qt::ArrowCursor));
    if (event->button() == Qt::LeftButton)
        runImageAction(plot, mode, names);
}
