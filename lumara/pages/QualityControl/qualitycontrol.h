#pragma once
// The Quality Control page: the well table, the droplet image of the selected well with a
// marker on every droplet, and the view "qrc:/qml/QC.qml" with the channel choice, brightness
// and contrast, exclusion with undo and redo, the legend and population, the image figures
// against the QC limits, and the full re-analysis with new correction options.
#include <QPointer>
#include <QQuickWidget>

class DropletPannel;
class WellHeaderView;
class WellListDelegate;
class WellListView;

class QualityControl : public QQuickWidget {
    Q_OBJECT
public:
    explicit QualityControl(QWidget *parent = nullptr);
    ~QualityControl() override;

    // Coming back to the page: the selected well's image and figures again.
    void refresh();
    void updateImageFigures();
    void updateChannelStatus(uint wellId);

    DropletPannel *panel() const { return m_panel; }
    WellListView *wellTable() const { return m_table; }
    QObject *root() const { return m_root.data(); }
    uint currentWell() const { return m_wellId; }
    uint currentChannel() const { return m_channel; }
    uint currentPopulation() const { return m_populationId; }
    // From the start of a re-analysis job until its end has reached this thread.
    bool reanalysing() const { return m_reanalysing; }
    // Connections of the page that could not be made (a signature the view lacks).
    int failedConnections() const { return m_failedConnections; }

signals:
    void selectDefaultChannel();
    void selectWellChange(int currentWellID);
    void beginReanalysis();
    void defaultQCStatus();
    void updateConstractType(int type);
    void updateCurrentSelectChannel(int channelID);
    void sigRecover();
    void openNewFile();
    // The view back to its defaults, after the panel has let go of the old document.
    void initQCData();

private slots:
    void reAnalysis();
    void updateData();
    void selectWellChanged();
    void channelClicked(int channelID);
    void switchPopulation(QString populationName);
    void onAdjustBrightContrast(int type, double value);
    void qcParamDialogSlot();
    void reCover();
    void updateQCParameters();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The work of the re-analysis job, on a pool thread.
    virtual void reanalyse(int background, bool fluorescence);

private:
    void initConnections();
    void connectChecked(const QObject *sender, const char *signal, const QObject *receiver, const char *method);
    void setRootProperty(const char *name, const QVariant &value);
    // The job: the options handed to the business layer, the analysis, and its end posted to
    // this thread; whatever it throws is caught and reported.
    void runReAnalysis(int background, bool fluorescence);
    void finishReAnalysis(bool succeeded);
    // No well or no channel: nothing shown, the figures and channel statuses still written.
    void showNoChannel();

    WellListView *m_table = nullptr;
    WellHeaderView *m_header = nullptr;
    WellListDelegate *m_delegate = nullptr;
    DropletPannel *m_panel = nullptr;
    QPointer<QObject> m_root;
    uint m_wellId = 0;
    uint m_channel = 0;
    uint m_populationId = 0;
    bool m_reanalysing = false;
    int m_failedConnections = 0;
};
