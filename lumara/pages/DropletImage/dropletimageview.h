#pragma once
// The droplet image view that the explore page and the quality-control page share: one well's
// image of one channel in a scene, fitted to the view and zoomed in tenths, with the scroll
// position kept across images; per-channel brightness and contrast; the image actions of the
// menu; the cursors and the highlight frame; and the picking of droplets by right clicks on
// markers and by polygons drawn with Ctrl + right clicks, with undo and redo of the picks and
// their exclusion, inclusion and restore through the business layer.
//
// The concrete views add their markers and change what differs through the virtual hooks.
#include <QGraphicsView>
#include <QPair>
#include <QPointF>
#include <QSet>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

class QCImageProcessManager;
class QFrame;
class QGraphicsLineItem;
class QGraphicsPathItem;
class QGraphicsPixmapItem;
class QGraphicsScene;

class DropletImageView : public QGraphicsView {
    Q_OBJECT
public:
    explicit DropletImageView(QWidget *parent = nullptr);
    ~DropletImageView() override;

    // Shows the channel's image of the well; a modal message when it has none.
    void loadImage(uint wellId, uint channel);
    void reloadImage();
    // No image and no well: the scene emptied, the picks and both images dropped, Undo and
    // Redo off. Zoom, scroll and the brightness modes stay.
    void showNothing();
    // 0 default, 1 manual, 2 automatic brightness and contrast of the channel (1..6); 2 for
    // any other channel.
    int getAdjustType(uint channel) const;

    // Applies the current pick: every picked droplet excluded, or included again.
    void excludeSelected();
    void includeSelected();
    // After a confirmation, every droplet of the well included again; false when declined.
    bool restoreWell();

    uint shownWell() const { return wellId; }
    uint shownChannel() const { return channel; }
    // The well's name that the view's saved images carry.
    const QString &titleName() const { return title; }
    int zoomStepCount() const { return zoomSteps; }
    double fittedScale() const { return baseScale; }
    QGraphicsPixmapItem *imageItem() const { return pixmapItem; }
    // The image as shown (adjusted), 8-bit grey; empty without an image.
    const cv::Mat &shownImage() const { return display; }

signals:
    void enableRedo(bool enable);
    void enableUndo(bool enable);
    void titleChange(QString titleName);
    void hideTitleDialog();

public slots:
    // Brightness or contrast of the shown channel one step further (delta is added to the
    // position); the kind is numbered by adjustKind.
    void adjustBrightContrast(int kind, double delta);
    void autoBrightContrast();
    void resetBrightContrast();
    void undo();
    void redo();

protected:
    // ---- Hooks of the concrete views ------------------------------------------------------
    // The help text's group and key.
    virtual QPair<QString, QString> helpTopic() const = 0;
    // Maps the caller's kind to 0 brightness or 1 contrast; anything else does nothing.
    virtual int adjustKind(int kind) const;
    // After a right release without a polygon being drawn: records the picks (here every
    // selected marker not recorded yet; a deselected one stays recorded).
    virtual void rightReleased();
    // At the end of loadImage, when an image is shown.
    virtual void imageLoaded();
    // After a brightness, contrast, automatic or default change has been shown.
    virtual void imageAdjusted();

    // ---- Shared machinery ------------------------------------------------------------------
    bool fileOpen() const;
    void applyZoom();
    void zoomIn();
    void zoomOut();
    // Zooms onto the scene pixel bounds (at most 30 steps) and centres them.
    void zoomToRegion(int x1, int x2, int y1, int y2);
    // Shows an already adjusted 8-bit image: a new image item (the old one and its markers
    // go), the zoom kept, the scroll position restored, the picks emptied.
    void showMat(const cv::Mat &image);
    void applyChannelAdjust(cv::Mat &out);
    // The shown image drawn afresh from the unadjusted one (markers, polygons and picks gone);
    // false without an image of at least 51 x 51 pixels or without a channel.
    bool refreshImage();
    static QString channelColorName(int channel);
    void setHandCursor();
    // The channel's processor; null outside 1..6.
    QCImageProcessManager *processor() const;
    // The droplet ids of the markers picked by right clicks and touched by the drawn polygons.
    // The polygons leave the scene.
    QSet<uint> selectedDropletIds();
    // The well table's exclusion flag set exactly when the well has excluded droplets.
    void syncWellExcludeFlag();
    // Appends a pick to the undo list.
    void recordPick(QGraphicsItem *item);

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    QGraphicsScene *imageScene = nullptr;
    QGraphicsPixmapItem *pixmapItem = nullptr;
    QPointF pressPoint;
    double baseScale = 1.0;
    int zoomSteps = 0;
    QVector<QPointF> vertices;
    uint wellId = 0;
    uint channel = 0;
    bool polygonDrawing = false;
    QGraphicsLineItem *rubberLine = nullptr;
    QGraphicsPathItem *polyline = nullptr;
    // Undo and redo lists of picks: markers selected by a right click and closed polygons.
    // Markers and the polygons in the scene belong to the scene; polygons out of it to the view.
    QVector<QGraphicsItem *> operations;
    QVector<QGraphicsItem *> undone;
    QPointF lastVertex;
    QPointF cursorPoint;
    QVector<int> adjustTypes;
    cv::Mat display;
    cv::Mat sourceImage;
    QVector<QCImageProcessManager *> processors;
    int scrollV = 0;
    int scrollH = 0;
    QFrame *highlightFrame = nullptr;
    QString title;

    // Empties both lists, deleting the polygons the view owns, and ends any polygon being
    // drawn. Call before the scene loses its items: the transient items go with them.
    void clearPicks();
    // How a new document starts: no zoom, no scrolling, every channel in automatic brightness
    // and contrast.
    void resetViewState();
    void clearScene();
    // The base scale that fits the shown image into the viewport.
    void fitScale();
    void restoreScroll(bool horizontalFirst);

private:
    // One image item (with its marker layer) for the matrix, the scene fitted to it.
    void placeImage(const cv::Mat &image);
    void rememberScroll();
    void stepBrightContrast(int kind, double delta);
    // Ctrl + right clicks.
    void addVertex(const QPointF &point);
    void closePolygon();
    // A right press inside a drawn polygon takes it away.
    void removePolygonAt(const QPointF &point);
};
