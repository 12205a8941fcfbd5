#pragma once
// The "Compensate Spillover" page of Set Up: the droplets of the selected wells in two-channel
// scatter plots, the spill-over matrix and backgrounds (shown and edited in the QML view), a
// matrix loaded from or saved to a .cmtx file, the preview of an edited matrix, applying it
// to the analysis or resetting it, and the emission spectra of the run's dyes.
//
// The jobs (preview, apply) run on the global pool one at a time, each on its own copy of the
// matrix; a change made while one runs is previewed when it ends (only the latest).
#include "compensationmatrix.h"
#include "spillovercompensation.h"

#include <QFuture>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QQuickWidget>

class QVBoxLayout;
class SetUp2DPlot;
class Spectrogram;
class WellListView;

class SpillOverCompensate : public QQuickWidget {
    Q_OBJECT
public:
    explicit SpillOverCompensate(QWidget *parent = nullptr);
    ~SpillOverCompensate() override;

    SetUp2DPlot *firstPlot() const { return m_plot1; }
    SetUp2DPlot *secondPlot() const { return m_plot2; }
    Spectrogram *spectrogram() const { return m_spectrogram; }
    WellListView *wellList() const { return m_wellList; }
    // The pairs of the plots and the pair in the second plot.
    QList<QPair<uint, uint>> plotCombinations() const { return combinations; }
    int plotIndex() const { return combinationIndex; }
    bool isPreviewing() const { return previewing != 0; }
    // The matrix last applied (identity after a reset), and the one the jobs were last given.
    const CompensationMatrix &appliedCompensation() const { return appliedMatrix; }
    CompensationMatrix jobMatrix() const { return compensation.getCompensationMatrix(); }
    bool isJobRunning() const { return m_jobRunning; }

signals:
    void disableNextBtn();
    void disablePreBtn();
    void uiEnable();
    void switchEditStatus(bool flag);
    void loadFileSuccessful();
    void beginCompensation();
    void initQMLPropety();
    void applyCompensation();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void updatePlot();
    void preCombitionPlot();
    void nextCombitionPlot();
    void openNewFile();
    void loadMatrixFile();
    void editCompensation();
    void saveCompensationFile();
    void resetMatrix();
    void applyMatrix();

private:
    friend class Setup; // shows the pairs when the sub-page is shown

    enum class Job { Preview, Apply };

    void connectRoot();
    // Tells the view where the plots and the panel below the spectra lie.
    void placePanels();
    void showPage(int first, int second, int index, bool disablePrevious, bool disableNext);
    void drawPair(SetUp2DPlot *plot, const QPair<uint, uint> &pair);
    // Puts the working form of the edited matrix into `compensation` and previews it, or
    // remembers it while a job runs.
    void requestPreview();
    void startJob(Job job);
    void jobEnded(int id);
    void waitForJob();
    void showLibraryError();

    WellListView *m_wellList = nullptr;
    QPointer<QWidget> m_plotHost;
    QPointer<QWidget> m_spectrumHost;
    QPointer<Spectrogram> m_spectrogram;
    QPointer<QObject> m_root;
    Ravelin::SpilloverCompensation compensation;
    CompensationMatrix appliedMatrix;
    SetUp2DPlot *m_plot1 = nullptr;
    SetUp2DPlot *m_plot2 = nullptr;
    QVBoxLayout *m_plotLayout = nullptr;
    QList<QPair<uint, uint>> combinations;
    int combinationIndex = 1;
    int previewing = 0;

    QFuture<void> m_job;
    int m_jobId = 0;
    bool m_jobRunning = false;
    bool m_previewPending = false;
};
