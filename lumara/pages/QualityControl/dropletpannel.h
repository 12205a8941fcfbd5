#pragma once
// The droplet image of the quality-control page: the shared droplet view with a marker on
// every droplet of the well, showing whether it is excluded, saturated, or positive for the
// chosen population; four legend flags hide marker kinds; exclusion, inclusion and restore
// redraw the image and the markers and tell the page to refresh its figures.
#include "pages/DropletImage/dropletimageview.h"

class QCDrpltMarker;

class DropletPannel : public DropletImageView {
    Q_OBJECT
public:
    // The kinds of filterMarkers.
    enum MarkerKind { PositiveKind = 0, NegativeKind = 1, ExcludedKind = 2, SaturatedKind = 3, AllKind = 4 };

    explicit DropletPannel(QWidget *parent = nullptr);
    ~DropletPannel() override;

    // Loads the current well and channel again when both are set and their image was shown.
    void reloadImage();
    // Fits the image already shown to the view's size, without reading the document.
    void refitImage();
    void setTitle(const QString &name);
    void switchPopulation(uint populationId);
    // Ids, zoom, scroll, picks and polygon cleared; all marker kinds shown; every channel in
    // automatic brightness and contrast.
    void resetState();
    // The scene emptied, then resetState.
    void clearScene();

    uint currentPopulation() const { return populationId; }
    bool showNegative() const { return negativeShown; }
    bool showExcluded() const { return excludedShown; }
    bool showPositive() const { return positiveShown; }
    bool showSaturated() const { return saturatedShown; }
    QList<QCDrpltMarker *> markers() const;
    int pickCount() const { return operations.size(); }

signals:
    void updateQCParenmertes();

public slots:
    void exclude();
    void include();
    void restore();
    void showAll(bool flag);
    void showNegtiveDroplets(bool flag);
    void showExcludeDroplets(bool flag);
    void showPositiveDroplets(bool flag);
    void showSaturatedDroplets(bool flag);

protected:
    QPair<QString, QString> helpTopic() const override;
    // The page sends 1 for brightness and 2 for contrast.
    int adjustKind(int kind) const override;
    // A marker picked by the right click joins the undo list, one unpicked leaves it.
    void rightReleased() override;
    void imageLoaded() override;
    void imageAdjusted() override;

private:
    void drawMarkers(uint well, uint population);
    void filterMarkers(int kind, bool visible);
    // After the well's exclusions changed: image and markers drawn afresh, the well table's
    // mark kept in step, the page told.
    void afterExclusionChange();

    uint populationId = 0;
    bool negativeShown = true;
    bool excludedShown = true;
    bool positiveShown = true;
    bool saturatedShown = true;
};
