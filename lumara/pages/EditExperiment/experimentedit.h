#pragma once
// The "Edit Experiment" page of Set Up: the experiment table over the shared well list (wells,
// samples, channel types, reference concentrations, dilutions), the target names and the
// comment of the experiment, removing wells and merging a further run archive.
#include "pcranalysisdocument.h"

#include <QFuture>
#include <QPointer>
#include <QQuickWidget>
#include <QString>

class ExperimentEdit : public QQuickWidget {
    Q_OBJECT
public:
    explicit ExperimentEdit(QWidget *parent = nullptr);
    ~ExperimentEdit() override;

    // What the user is told of a merge candidate; empty when it may be merged or when the
    // check gave a code without a text.
    static QString mergeRefusal(PcrAnalysisDocument::ErrorCode code, const PcrAnalysisDocument::MergePermit &permit);

signals:
    void updateView();
    void updateWellModel();
    void updateSelectIndex();
    void openFile();
    void mergeFile();
    void endMergeFile();

private slots:
    void updateTargetName(int channelID, QString name);
    void deleteWellRows();
    void addWells();
    void handError();
    void commentChanged(QString msg);

private:
    // A one-button message, or a two-button question (true when accepted).
    bool ask(int type, const QString &text);

    QPointer<QObject> m_root;
    QFuture<void> m_merge;
};
