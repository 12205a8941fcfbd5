#pragma once
// The dialog that adds a 2D plot combination: two channels (the one checked first is x) and a
// name. An existing x/y pair or name is refused in the view and the dialog stays open.
#include <QDialog>
#include <QString>

class QQuickWidget;

// Offers the channels of the selected wells on a combination view: for channels 1 to 6 the
// enable property and the target and dye names, "--" for a channel no selected well uses.
void setChannelProperties(QObject *root);

class AddPlotCombition : public QDialog {
    Q_OBJECT
public:
    explicit AddPlotCombition(QWidget *parent = nullptr);

    Q_INVOKABLE QString getTargetName(uint channelID) const;
    QObject *rootObject() const { return m_root; }

signals:
    void selectPlotCombition(int channelID1, int channelID2, QString plotName);
    void combitionExist();
    void plotNameExist();

private slots:
    void okClicked(int chan1, int chan2, QString plotName);

private:
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
};
