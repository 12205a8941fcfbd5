#pragma once
// One well's droplet-quality figures for one channel beside their reference limits; a figure
// that misses its limit shows in red. Opened by the quality-control and histogram pages.
#include <QDialog>

class QQuickWidget;

class QcParamaDialog : public QDialog {
    Q_OBJECT
public:
    explicit QcParamaDialog(QWidget *parent = nullptr);
    ~QcParamaDialog() override;

    // Fills the view from the well's kept droplets in that channel. Only with line
    // thresholds: in polygon mode the view keeps what it shows.
    void showQcParams(uint wellId, uint channelId);

signals:
    void sigYesBtn();

private:
    QQuickWidget *m_view = nullptr;
    QObject *m_root = nullptr;
};
