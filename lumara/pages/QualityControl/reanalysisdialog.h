#pragma once
// Asks for the two correction options of a full re-analysis: the background uniformity
// (intelligent algorithm, machine correction, none) and the fluorescence intensity correction.
// Accepting stores them in reanalysisBackgroundMode and reanalysisFluorescenceCorrection.
#include <QDialog>
#include <QPointer>

class QQuickWidget;

class ReAnalysisDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReAnalysisDialog(QWidget *parent = nullptr);
    ~ReAnalysisDialog() override;

    QObject *root() const { return m_root.data(); }

    // The view's background choice (0 intelligent, 1 machine, 2 none) as the mode the
    // analysis takes (2, 1, 0); anything unknown is none.
    static int backgroundModeOf(int choice);

private slots:
    void acceptAnalysis();

private:
    QQuickWidget *m_view = nullptr;
    QPointer<QObject> m_root;
};
