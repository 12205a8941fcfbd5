#pragma once
// The droplet image of the explore page: the shared droplet view with the marker sets that
// show which droplets belong to what the user picked on the plots or lists (a side of a
// threshold, a quadrant of two, a rectangle on a 1D or 2D plot, a population).
#include "pages/DropletImage/dropletimageview.h"

#include <QPair>
#include <QtGlobal>

class ExploreView : public DropletImageView {
    Q_OBJECT
public:
    explicit ExploreView(QWidget *parent = nullptr);
    ~ExploreView() override;

    // The image without markers, back to the fitted view.
    void cancelMarkers();
    // Nothing of a document shown: no image, no markers, no picks, no ids; back to the fitted
    // view at the scroll origin with every channel in automatic brightness and contrast, as a
    // view made afresh starts.
    void forgetDocument();

    // Each marker set draws the image afresh (its markers, polygons and picks go) and marks the
    // matching droplets of the selected well; selectAll makes every new marker picked. A value
    // at or above a threshold is on its positive side.
    void markBy1DThreshold(uint channel, bool positive, bool selectAll);
    void markBy2DThreshold(uint ch1, uint ch2, bool ch1Positive, bool ch2Positive, bool selectAll);
    // indexRange is the position among the kept droplets (the 1D plot's x): excluded droplets
    // are never marked by it. Both rectangle sets zoom onto what they mark.
    void markBy1DRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> greyRange, uint channel,
                      bool selectAll);
    void markBy2DRect(QPair<quint32, quint32> ch1Range, QPair<quint32, quint32> ch2Range, uint ch1, uint ch2,
                      bool selectAll);
    // Nothing at all for population 0.
    void markByPopulation(uint populationId, bool selectAll);
    // The same from the fitted view.
    void showMarkerBy1DThreshold(uint channel, bool positive, bool selectAll);
    void showMarkerBy2DThreshold(uint ch1, uint ch2, bool ch1Positive, bool ch2Positive, bool selectAll);
    void showMarkerBy1DRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> greyRange, uint channel,
                            bool selectAll);
    void showMarkerBy2DRect(QPair<quint32, quint32> ch1Range, QPair<quint32, quint32> ch2Range, uint ch1, uint ch2,
                            bool selectAll);

signals:
    void calPolygonRang();

protected:
    QPair<QString, QString> helpTopic() const override;

private:
    // The selected well's id after a fresh image; -1 when there is no image to mark or no
    // single selected well.
    int beginMarkerSet();
    // A marker on every droplet i of the well for which test(i, excluded) holds; with zoom,
    // the view zooms onto them.
    template <typename Test>
    void placeMarkers(int well, bool selectAll, bool zoom, Test test);

    uint populationId = 0;
    uint markerChannel = 0;
    bool markerPositive = false;
};
