#pragma once
// Asks for a new population's colour and name. The caller checks the name: it accepts the
// dialog, or emits populationNameExist on it to show the message and keep it open. The caller
// gives it the active window's size and place; the view centres its panel in it.
#include <QDialog>
#include <QPoint>
#include <QString>

class QQuickWidget;

class AddpopulationDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddpopulationDialog(QWidget *parent = nullptr);

    void setCircleColor(QString color);
    QObject *rootObject() const { return m_root; }
    // Whether the dialog is the window-sized translucent layer the caller gives it (decided at
    // construction, where the desktop composites), or only what its view shows.
    bool isLayer() const { return m_layer; }

signals:
    void yesClicked(QString color, QString name);
    void noClicked();
    void populationNameExist();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // Without the layer: the size of what the view shows (the panel, or the colour picker while
    // it is open), centred where the caller placed the dialog.
    void fitShownPart();

private:
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
    bool m_layer = true;
    QPoint m_centre;
    bool m_placed = false;
};
