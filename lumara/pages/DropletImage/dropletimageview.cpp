#include "pages/DropletImage/dropletimageview.h"

#include "pages/DropletImage/dropletimage.h"
#include "pages/DropletImage/dropletmarker.h"
#include "pages/DropletImage/dropletmarkerlayer.h"
#include "pages/DropletImage/qcimageprocessmanager.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"
#include "shell/welllistmodel.h"

#include <QDebug>
#include <QFrame>
#include <QGraphicsLineItem>
#include <QGraphicsPathItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int MaxRegionSteps = 30;
// Images smaller than this on either side get no automatic adjustment and no markers.
constexpr int MinImageSide = 51;
const QColor polygonColour(255, 255, 0);

int scaled(int pixels)
{
    return int(pixels * uiScaleFactor);
}

QString scrollBarSheet()
{
    const int side = scaled(8);
    return QStringLiteral("QScrollBar:vertical{width:%1px;background:rgb(238,238,238);margin:0px;border:none;}"
                          "QScrollBar:horizontal{height:%1px;background:rgb(238,238,238);margin:0px;border:none;}"
                          "QScrollBar::handle:vertical{background:rgb(88,180,218);border-radius:%2px;min-height:%3px;}"
                          "QScrollBar::handle:horizontal{background:rgb(88,180,218);border-radius:%2px;min-width:%3px;}"
                          "QScrollBar::handle:hover{background:rgb(59,159,200);}"
                          "QScrollBar::add-line,QScrollBar::sub-line{width:0px;height:0px;border:none;}"
                          "QScrollBar::add-page,QScrollBar::sub-page{background:none;}")
        .arg(side)
        .arg(scaled(4))
        .arg(scaled(20));
}

bool isLargeEnough(const cv::Mat &image)
{
    return !image.empty() && image.cols >= MinImageSide && image.rows >= MinImageSide;
}

QPen polygonPen(double width)
{
    return QPen(QBrush(polygonColour), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

// Takes the item out of its scene, deletes it and clears the pointer.
template <typename Item>
void dropItem(Item *&item)
{
    if (!item)
        return;
    if (item->scene())
        item->scene()->removeItem(item);
    delete item;
    item = nullptr;
}

// Moves the bar by one unit; false when it is at its end.
bool stepBar(QScrollBar *bar, int direction)
{
    const int before = bar->value();
    bar->setValue(before + direction);
    return bar->value() != before;
}

} // namespace

DropletImageView::DropletImageView(QWidget *parent) : QGraphicsView(parent)
{
    setRenderHint(QPainter::Antialiasing, false);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setOptimizationFlag(QGraphicsView::DontSavePainterState);
    setViewportUpdateMode(QGraphicsView::SmartViewportUpdate);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    verticalScrollBar()->setStyleSheet(scrollBarSheet());
    horizontalScrollBar()->setStyleSheet(scrollBarSheet());
    setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,200)"));

    imageScene = new QGraphicsScene(this);
    imageScene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(imageScene);

    adjustTypes = QVector<int>(6, 2);
    for (int i = 0; i < 6; ++i)
        processors.append(new QCImageProcessManager(this));

    highlightFrame = new QFrame(this);
    highlightFrame->setFrameShape(QFrame::Box);
    highlightFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    highlightFrame->setStyleSheet(
        QStringLiteral("background-color: rgba(59, 159, 200, 50); border:%1px solid #3b9fc8").arg(scaled(4)));
    highlightFrame->hide();
}

DropletImageView::~DropletImageView()
{
    clearPicks();
}

// ---- Hooks ------------------------------------------------------------------------------------

int DropletImageView::adjustKind(int kind) const
{
    return kind;
}

void DropletImageView::rightReleased()
{
    if (!pixmapItem)
        return;
    const QList<QGraphicsItem *> children = pixmapItem->childItems();
    QSet<QGraphicsItem *> recorded(operations.cbegin(), operations.cend());
    for (QGraphicsItem *child : children) {
        DropletMarker *marker = DropletMarker::fromItem(child);
        if (marker && marker->isSelected() && !recorded.contains(child)) {
            recorded.insert(child);
            recordPick(child);
        }
    }
}

void DropletImageView::imageLoaded()
{
}

void DropletImageView::imageAdjusted()
{
}

// ---- Loading and showing ----------------------------------------------------------------------

bool DropletImageView::fileOpen() const
{
    return !WellListModel::instance()->modelIsEmpty();
}

void DropletImageView::resetViewState()
{
    zoomSteps = 0;
    scrollV = 0;
    scrollH = 0;
    adjustTypes = QVector<int>(6, 2);
}

void DropletImageView::clearPicks()
{
    // Polygons out of the scene are the view's; the scene deletes everything else it holds.
    QSet<QGraphicsItem *> owned;
    for (const QVector<QGraphicsItem *> *list : {&operations, &undone})
        for (QGraphicsItem *item : *list)
            if (item->type() == QGraphicsPolygonItem::Type && item->scene() != imageScene)
                owned.insert(item);
    qDeleteAll(owned);
    operations.clear();
    undone.clear();
    dropItem(rubberLine);
    dropItem(polyline);
    vertices.clear();
    lastVertex = QPointF(0, 0);
    cursorPoint = QPointF(0, 0);
    polygonDrawing = false;
}

void DropletImageView::clearScene()
{
    // Detached, so that the view does not follow every item that goes.
    setScene(nullptr);
    imageScene->clear();
    pixmapItem = nullptr;
    setScene(imageScene);
}

void DropletImageView::loadImage(uint well, uint imageChannel)
{
    wellId = well;
    channel = imageChannel;
    clearPicks();
    emit enableUndo(false);
    emit enableRedo(false);
    clearScene();

    // The pixels live only until the next preprocessing: converted at once.
    sourceImage = drpltImgToMat(BLLInstance::getInstance()->getWellChannelImage(well, imageChannel));
    if (sourceImage.empty()) {
        sourceImage.release();
        display.release();
        qDebug() << "no such image";
        auto *message = new DialogMessage(0, QStringLiteral("Can not load droplet image"));
        centreOnActiveWindow(message);
        message->exec();
        message->deleteLater();
        return;
    }
    cv::Mat shown;
    applyChannelAdjust(shown);
    placeImage(shown);
    fitScale();
    applyZoom();
    restoreScroll(false);
    viewport()->update();
    imageLoaded();
}

void DropletImageView::reloadImage()
{
    loadImage(wellId, channel);
}

void DropletImageView::showNothing()
{
    clearPicks();
    clearScene();
    sourceImage.release();
    display.release();
    wellId = 0;
    channel = 0;
    emit enableUndo(false);
    emit enableRedo(false);
    viewport()->update();
}

void DropletImageView::placeImage(const cv::Mat &image)
{
    display = image;
    const QImage picture(image.data, image.cols, image.rows, int(image.step), QImage::Format_Grayscale8);
    imageScene->setSceneRect(QRectF(0, 0, image.cols, image.rows));
    pixmapItem = new QGraphicsPixmapItem(QPixmap::fromImage(picture));
    imageScene->addItem(pixmapItem);
    new DropletMarkerLayer(pixmapItem);
}

void DropletImageView::fitScale()
{
    if (!pixmapItem)
        return;
    const QSize image = pixmapItem->pixmap().size();
    baseScale = double(image.scaled(viewport()->size(), Qt::KeepAspectRatio).height()) / double(image.height());
    // A view without size would make the transform singular.
    if (!(baseScale > 0.0))
        baseScale = 1.0;
}

void DropletImageView::showMat(const cv::Mat &image)
{
    if (image.empty() || image.rows == 0 || image.cols == 0)
        return;
    clearPicks();
    clearScene();
    placeImage(image);
    fitScale();
    applyZoom();
    restoreScroll(true);
    emit enableRedo(false);
    emit enableUndo(false);
}

void DropletImageView::restoreScroll(bool horizontalFirst)
{
    if (horizontalFirst) {
        horizontalScrollBar()->setValue(scrollH);
        verticalScrollBar()->setValue(scrollV);
    } else {
        verticalScrollBar()->setValue(scrollV);
        horizontalScrollBar()->setValue(scrollH);
    }
}

void DropletImageView::rememberScroll()
{
    scrollV = verticalScrollBar()->value();
    scrollH = horizontalScrollBar()->value();
}

// ---- Zoom -------------------------------------------------------------------------------------

void DropletImageView::applyZoom()
{
    const double scale = baseScale + zoomSteps / 10.0;
    setTransform(QTransform::fromScale(scale, scale));
}

void DropletImageView::zoomIn()
{
    ++zoomSteps;
    applyZoom();
}

void DropletImageView::zoomOut()
{
    zoomSteps = std::max(0, zoomSteps - 1);
    applyZoom();
}

void DropletImageView::zoomToRegion(int x1, int x2, int y1, int y2)
{
    applyZoom();
    QPointF topLeft;
    QPointF bottomRight;
    const auto corners = [&]() {
        topLeft = mapToScene(QPoint(0, 0));
        bottomRight = mapToScene(QPoint(viewport()->width(), viewport()->height()));
    };
    corners();
    QScrollBar *horizontal = horizontalScrollBar();
    QScrollBar *vertical = verticalScrollBar();

    if (x1 == x2 && y1 == y2) {
        zoomSteps = MaxRegionSteps;
        applyZoom();
    } else {
        int taken = 0;
        while (x1 > topLeft.x() && y1 > topLeft.y() && x2 < bottomRight.x() && y2 < bottomRight.y()
               && zoomSteps < MaxRegionSteps) {
            ++zoomSteps;
            ++taken;
            applyZoom();
            corners();
            // Shifts stop at the bar's end: a region at the image border cannot be moved in.
            while (x1 > topLeft.x() && x2 >= bottomRight.x() && stepBar(horizontal, 1))
                corners();
            while (x1 <= topLeft.x() && x2 < bottomRight.x() && stepBar(horizontal, -1))
                corners();
            while (y1 > topLeft.y() && y2 >= bottomRight.y() && stepBar(vertical, 1))
                corners();
            while (y1 <= topLeft.y() && y2 < bottomRight.y() && stepBar(vertical, -1))
                corners();
        }
        if (taken > 0)
            zoomSteps = std::max(0, zoomSteps - 1);
        applyZoom();
    }

    // Centre the region, one unit at a time, while the bars can move.
    const int centreX = (x1 + x2) / 2;
    const int centreY = (y1 + y2) / 2;
    QPointF centre = mapToScene(QPoint(viewport()->width() / 2, viewport()->height() / 2));
    while (std::abs(centre.x() - centreX) >= 11 && horizontal->value() != horizontal->minimum()
           && horizontal->value() != horizontal->maximum()) {
        if (!stepBar(horizontal, centre.x() > centreX ? -1 : 1))
            break;
        centre = mapToScene(QPoint(viewport()->width() / 2, viewport()->height() / 2));
    }
    while (std::abs(centre.y() - centreY) >= 11 && vertical->value() != vertical->minimum()
           && vertical->value() != vertical->maximum()) {
        if (!stepBar(vertical, centre.y() > centreY ? -1 : 1))
            break;
        centre = mapToScene(QPoint(viewport()->width() / 2, viewport()->height() / 2));
    }
    rememberScroll();
}

// ---- Brightness and contrast ------------------------------------------------------------------

QCImageProcessManager *DropletImageView::processor() const
{
    return channel >= 1 && channel <= 6 ? processors.at(int(channel) - 1) : nullptr;
}

int DropletImageView::getAdjustType(uint imageChannel) const
{
    return imageChannel >= 1 && imageChannel <= 6 ? adjustTypes.at(int(imageChannel) - 1) : 2;
}

void DropletImageView::applyChannelAdjust(cv::Mat &out)
{
    QCImageProcessManager *manager = processor();
    if (!manager || sourceImage.empty()) {
        out = sourceImage.clone();
        return;
    }
    const cv::Mat copy = sourceImage.clone();
    switch (adjustTypes.at(int(channel) - 1)) {
    case 2:
        out = manager->autoContrast(copy);
        break;
    case 0:
        out = manager->adjustContrast(copy, manager->defaultContrast(copy));
        break;
    default:
        out = manager->adjustContrast(copy, manager->contrast());
        break;
    }
}

void DropletImageView::adjustBrightContrast(int kind, double delta)
{
    stepBrightContrast(adjustKind(kind), delta);
}

void DropletImageView::stepBrightContrast(int kind, double delta)
{
    QCImageProcessManager *manager = processor();
    if (sourceImage.empty() || !manager)
        return;
    adjustTypes[int(channel) - 1] = 1;
    display = sourceImage.clone();
    if (kind == 0)
        display = manager->adjustBrightness(display, manager->brightness() + delta);
    else if (kind == 1)
        display = manager->adjustContrast(display, manager->contrast() + delta);
    else
        return;
    showMat(display);
    imageAdjusted();
}

void DropletImageView::autoBrightContrast()
{
    QCImageProcessManager *manager = processor();
    if (sourceImage.empty() || !manager)
        return;
    adjustTypes[int(channel) - 1] = 2;
    display = sourceImage.clone();
    if (!isLargeEnough(display))
        return;
    display = manager->autoContrast(display);
    showMat(display);
    imageAdjusted();
}

void DropletImageView::resetBrightContrast()
{
    QCImageProcessManager *manager = processor();
    if (sourceImage.empty() || !manager)
        return;
    adjustTypes[int(channel) - 1] = 0;
    display = sourceImage.clone();
    display = manager->adjustContrast(display, manager->defaultContrast(display));
    showMat(display);
    imageAdjusted();
}

bool DropletImageView::refreshImage()
{
    const cv::Mat copy = sourceImage.clone();
    if (!isLargeEnough(copy) || !processor())
        return false;
    cv::Mat shown;
    applyChannelAdjust(shown);
    showMat(shown);
    return true;
}

// ---- Image actions and cursors ----------------------------------------------------------------

QString DropletImageView::channelColorName(int imageChannel)
{
    switch (imageChannel) {
    case 1:
        return QStringLiteral("Blue");
    case 2:
        return QStringLiteral("Cyan");
    case 3:
        return QStringLiteral("Green");
    case 4:
        return QStringLiteral("Orange");
    case 5:
        return QStringLiteral("red");
    case 6:
        return QStringLiteral("DarkRed");
    default:
        return QString();
    }
}

void DropletImageView::setHandCursor()
{
    setViewCursor(QCursor(Qt::PointingHandCursor));
}

void DropletImageView::enterEvent(QEvent *event)
{
    if (fileOpen()) {
        if (imageActionMode != 0) {
            highlightFrame->show();
            highlightFrame->raise();
            setViewCursor(pictureCursor(imageActionMode == 4 ? QStringLiteral(":/assets/cursor_help.png")
                                                             : QStringLiteral(":/assets/cursor_save.png")));
        } else {
            highlightFrame->hide();
            setViewCursor(QCursor(Qt::PointingHandCursor));
        }
    }
    QGraphicsView::enterEvent(event);
}

void DropletImageView::leaveEvent(QEvent *event)
{
    if (fileOpen()) {
        setViewCursor(QCursor(Qt::ArrowCursor));
        if (imageActionMode != 0)
            highlightFrame->hide();
    }
    QGraphicsView::leaveEvent(event);
}

void DropletImageView::resizeEvent(QResizeEvent *event)
{
    highlightFrame->setGeometry(0, 0, width(), height());
    QGraphicsView::resizeEvent(event);
}

// ---- Mouse and keys ---------------------------------------------------------------------------

void DropletImageView::mousePressEvent(QMouseEvent *event)
{
    emit hideTitleDialog();
    if (fileOpen() && highlightFrame->isVisible())
        highlightFrame->hide();
    const int mode = imageActionMode;
    if (mode != 0) {
        // Any press takes the pending action away; only a left press carries it out.
        imageActionMode = 0;
        setHandCursor();
        if (event->button() == Qt::LeftButton && mode <= 4) {
            const QString chamber = currentFileBaseName + QLatin1Char('_') + title + QStringLiteral("_Chamber-")
                + channelColorName(int(channel));
            const QPair<QString, QString> topic = helpTopic();
            runImageAction(this, mode,
                           ImageActionNames{chamber + QStringLiteral(".png"), chamber + QStringLiteral(".svg"),
                                            topic.first, topic.second});
        }
        event->accept();
        return;
    }
    if (fileOpen() && event->buttons() == Qt::RightButton) {
        pressPoint = mapToScene(event->pos());
        if (event->modifiers() == Qt::ControlModifier) {
            addVertex(pressPoint);
            event->accept();
            return;
        }
        removePolygonAt(pressPoint);
        polygonDrawing = false;
    }
    QGraphicsView::mousePressEvent(event);
}

void DropletImageView::removePolygonAt(const QPointF &point)
{
    for (int i = operations.size() - 1; i >= 0; --i) {
        QGraphicsItem *entry = operations.at(i);
        // Markers are never taken away by a press: only drawn polygons.
        if (entry->type() != QGraphicsPolygonItem::Type || !entry->contains(entry->mapFromScene(point)))
            continue;
        operations.removeAt(i);
        if (entry->scene())
            entry->scene()->removeItem(entry);
        delete entry;
        return;
    }
}

void DropletImageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // A left click without a drag clears the scene's selection in this drag mode; the
        // picks are kept.
        const QList<QGraphicsItem *> picked = imageScene->selectedItems();
        QGraphicsView::mouseReleaseEvent(event);
        for (QGraphicsItem *item : picked)
            if (item->scene() == imageScene)
                item->setSelected(true);
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
    if (fileOpen() && event->button() == Qt::RightButton && !polygonDrawing)
        rightReleased();
}

void DropletImageView::recordPick(QGraphicsItem *item)
{
    operations.append(item);
    emit enableUndo(true);
}

void DropletImageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        zoomSteps = 0;
        applyZoom();
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void DropletImageView::mouseMoveEvent(QMouseEvent *event)
{
    if (fileOpen() && event->modifiers() == Qt::ControlModifier) {
        cursorPoint = mapToScene(event->pos());
        dropItem(rubberLine);
        if (lastVertex != QPointF(0, 0)) {
            rubberLine = imageScene->addLine(QLineF(lastVertex, cursorPoint), polygonPen(2.0));
            viewport()->update();
        }
    }
    QGraphicsView::mouseMoveEvent(event);
    if (fileOpen())
        rememberScroll();
}

void DropletImageView::wheelEvent(QWheelEvent *event)
{
    if (fileOpen() && event->modifiers() == Qt::ControlModifier) {
        if (event->angleDelta().y() < 1)
            zoomOut();
        else
            zoomIn();
        event->accept();
        return;
    }
    QGraphicsView::wheelEvent(event);
}

void DropletImageView::keyReleaseEvent(QKeyEvent *event)
{
    if (fileOpen() && event->key() == Qt::Key_Control)
        closePolygon();
    QGraphicsView::keyReleaseEvent(event);
}

void DropletImageView::addVertex(const QPointF &point)
{
    lastVertex = point;
    // The pointer is where the vertex is: a release without a move closes on the vertices.
    cursorPoint = point;
    vertices.append(point);
    dropItem(polyline);
    dropItem(rubberLine);
    polygonDrawing = true;
    QPainterPath path;
    path.addPolygon(QPolygonF(vertices));
    polyline = imageScene->addPath(path, polygonPen(1.0), Qt::NoBrush);
    viewport()->update();
}

void DropletImageView::closePolygon()
{
    dropItem(rubberLine);
    lastVertex = QPointF(0, 0);
    if (vertices.size() <= 1)
        return; // kept for the next Ctrl + right press
    dropItem(polyline);
    if (!vertices.contains(cursorPoint))
        vertices.append(cursorPoint);
    QColor fill = polygonColour;
    fill.setAlpha(100);
    QGraphicsPolygonItem *polygon = imageScene->addPolygon(QPolygonF(vertices), polygonPen(1.0), QBrush(fill));
    recordPick(polygon);
    vertices.clear();
    viewport()->update();
}

// ---- Undo, redo and the picked droplets -------------------------------------------------------

void DropletImageView::undo()
{
    if (operations.isEmpty())
        return;
    QGraphicsItem *entry = operations.takeLast();
    if (DropletMarker *marker = DropletMarker::fromItem(entry))
        marker->setMarkSelected(false);
    else if (entry->scene() == imageScene)
        imageScene->removeItem(entry);
    undone.append(entry);
    if (operations.isEmpty())
        emit enableUndo(false);
    emit enableRedo(true);
    viewport()->update();
}

void DropletImageView::redo()
{
    if (undone.isEmpty())
        return;
    QGraphicsItem *entry = undone.takeLast();
    if (DropletMarker *marker = DropletMarker::fromItem(entry))
        marker->setMarkSelected(true);
    else if (!entry->scene())
        imageScene->addItem(entry);
    operations.append(entry);
    if (undone.isEmpty())
        emit enableRedo(false);
    emit enableUndo(true);
    viewport()->update();
}

QSet<uint> DropletImageView::selectedDropletIds()
{
    const QList<QGraphicsItem *> before = imageScene->selectedItems();
    QList<QGraphicsItem *> picked = before;
    bool areaUsed = false;
    for (QGraphicsItem *entry : qAsConst(operations)) {
        auto *polygon = qgraphicsitem_cast<QGraphicsPolygonItem *>(entry);
        if (!polygon)
            continue;
        QPainterPath area;
        area.addPolygon(polygon->mapToScene(polygon->polygon()));
        imageScene->setSelectionArea(area, Qt::IntersectsItemShape, QTransform());
        areaUsed = true;
        if (polygon->scene() == imageScene)
            imageScene->removeItem(polygon);
        picked.append(imageScene->selectedItems());
    }
    // The selection areas replaced the picks of the right clicks: put them back, so that what
    // shows picked stays picked for the next action.
    if (areaUsed) {
        imageScene->clearSelection();
        for (QGraphicsItem *item : before)
            item->setSelected(true);
    }
    QSet<uint> ids;
    for (QGraphicsItem *item : qAsConst(picked))
        if (const DropletMarker *marker = DropletMarker::fromItem(item))
            ids.insert(marker->id);
    return ids;
}

void DropletImageView::syncWellExcludeFlag()
{
    WellListModel *wells = WellListModel::instance();
    const bool excluded = !BLLInstance::getInstance()->getExcludedDroplets(wellId).isEmpty();
    if (wells->getWellExclude(int(wellId)) != excluded) {
        wells->setWellExclude(wellId, excluded);
        wells->updateModel();
    }
}

void DropletImageView::excludeSelected()
{
    BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(wellId, selectedDropletIds());
    syncWellExcludeFlag();
}

void DropletImageView::includeSelected()
{
    BLLInstance::getInstance()->getDropletExclude()->includeDroplets(wellId, selectedDropletIds());
    syncWellExcludeFlag();
}

bool DropletImageView::restoreWell()
{
    auto *question = new DialogMessage(
        1, QStringLiteral("This will clear all previous operations. \nAre you sure you want to continue"));
    centreOnActiveWindow(question);
    const bool accepted = question->exec() != 0;
    question->deleteLater();
    if (!accepted)
        return false;
    BLLInstance::getInstance()->getDropletExclude()->restoreDroplets(wellId);
    syncWellExcludeFlag();
    return true;
}
