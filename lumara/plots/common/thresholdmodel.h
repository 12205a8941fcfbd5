#pragma once
// The rows of a plot page's "Fluorescence Thresholds" panel (QML "ThresholdData"): one per
// channel with its colour, its threshold as text and whether the text may be edited. The
// model only shows what its page puts in; typing comes back as updateChannelThreshold.
// Every change is one model reset.
#include <QAbstractListModel>
#include <QString>
#include <QVector>

struct ThresholdItem {
    uint channelID = 0;
    QString color;
    QString threshold; // empty when no single value applies
    bool editable = false;
};

class ThresholdValidator;
class QValidator;

class ThresholdModel : public QAbstractListModel {
    Q_OBJECT
    // The boxes' validator (QML "ThresholdData.validator"): what a box may show while typing.
    Q_PROPERTY(QValidator *validator READ validator CONSTANT)
public:
    // The panel's QML reads the roles by these numbers' names; they start at 0 by design.
    enum Roles { ChannelIDRole = 0, ChannelColorRole = 1, ChannelThresholdRole = 2, ThresholdEditAbleRole = 3 };

    explicit ThresholdModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setThresholds(const QVector<ThresholdItem> &items);
    void clear();
    void enableEditing();
    void disableEditing();
    // The first row of the channel shows the value; without such a row only the reset.
    void setChannelThreshold(int channelID, uint value);
    // Pages keep each channel once.
    bool containsChannel(uint channelID) const;

    // Called by the panel's text field on every edit; the rows stay as they are.
    Q_INVOKABLE void setChannelThresholdValue(uint channelID, QString threshold);

    // The value of a box's text when the whole text, as the box shows it, is an integer from
    // 0 to MaxThreshold (the box's own limits); false for anything else ("", "1,5", "70001").
    static bool parseThreshold(const QString &text, uint *value);
    static constexpr uint MaxThreshold = 70000;

    QValidator *validator() const;

signals:
    void updateChannelThreshold(uint channelID, QString threshold);

private:
    void setEditable(bool on);

    QVector<ThresholdItem> m_items;
    ThresholdValidator *m_validator = nullptr;
};
