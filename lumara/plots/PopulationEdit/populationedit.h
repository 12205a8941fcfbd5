#pragma once
// The population editor (page 4 of the Analyze Plot pages): lists the populations, adds,
// renames, recolours and deletes them, and binds each to the zones it counts as positive or
// negative droplets. Every write goes to the document at once and marks the file changed.
#include <QPointer>
#include <QQuickWidget>

class LineZoneModel;
class PolygonZoneModel;
class PopulationModel;
class ZoneTableModel;

class PopulationEdit : public QQuickWidget {
    Q_OBJECT
public:
    explicit PopulationEdit(QWidget *parent = nullptr);

    // Run when the page is shown and after every write: zone tables and population list read
    // again. Nothing while the analysis has no wells.
    void refresh();

    LineZoneModel *lineModel() const { return m_lineModel; }
    PolygonZoneModel *polygonModel() const { return m_polygonModel; }
    PopulationModel *populationModel() const { return m_populationModel; }
    // 0xFFFFFFFF while none is chosen.
    uint currentPopulation() const { return m_currentPopulation; }

    static constexpr uint NoPopulation = 0xFFFFFFFFu;

signals:
    void updateQMLModel();
    void resizeQML(int width, int height);
    void deletePopulationCompleted();
    void populationNameExist();
    void modityNameExist();
    void applySucceed();
    void populationEditAble(bool flag);
    void initQMLUI();

public slots:
    void initData();
    void updatePopulation(int index);
    void editNegetive(bool flag);
    void addPopulation();
    void deletePopulation();
    void appenPopulation(QString color, QString name);
    void popupColorDialog(QString color);
    void apply(QString name, QString color, bool negetiveEdit);
    void setNegativeStatus(int row, bool flag);
    void setPositiveStatus(int row, bool flag);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    // An open, a merge or a re-analysis: the chosen population, its marks and the rows of the
    // old document go; a page on screen is built again from the new one.
    void resetDocument();

private:
    bool lineMode() const;
    // The table of the document's thresholding mode.
    ZoneTableModel *currentZoneModel() const;
    void setModeProperties();

    LineZoneModel *m_lineModel = nullptr;
    PolygonZoneModel *m_polygonModel = nullptr;
    PopulationModel *m_populationModel = nullptr;
    QPointer<QObject> m_root;
    uint m_currentPopulation = NoPopulation;
};
