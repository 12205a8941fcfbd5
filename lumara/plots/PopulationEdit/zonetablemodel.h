#pragma once
// What the line and the polygon zone tables share: one row per zone of the document with the
// marks that say whether the chosen population takes the zone's droplets as positive,
// negative or both. The rows are read from the document; the marks change only here until the
// population editor writes the binding list.
#include "model/lumaraanalysisdata.h"

#include <QAbstractTableModel>
#include <QPair>
#include <QString>
#include <QVector>

// { zone id, sign }: 0 positive, 1 negative, 2 both.
using ZoneBinding = QPair<uint, LumaraAnalysisData::ZoneType>;

// The binding that the marks of one row make; false when neither is set.
bool bindingOfMarks(bool positive, bool negative, LumaraAnalysisData::ZoneType *sign);
// The marks a stored sign shows: 0 positive, 1 negative, anything else both.
void marksOfSign(int sign, bool *positive, bool *negative);
// What is stored for a population: with negative editing off the counting takes every bound
// zone as positive, so only zones marked positive stay bound, as positive zones.
QVector<ZoneBinding> bindingsToStore(const QVector<ZoneBinding> &bindings, bool negativeEdited);

class ZoneTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ZoneTableModel(LumaraAnalysisData::ThresholdMode mode, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;

    // Rebuilds the rows from the document in one reset; nothing while the document
    // thresholds in the other mode.
    void updateFromDocument();
    // No rows, no population, no negative editing: nothing of a document (one reset).
    void clear();
    // Inside a reset.
    void setNegativeEdit(bool flag);
    bool negativeEdit() const { return m_negativeEdit; }
    // The population whose bindings the next update shows; no reset.
    void setPopulationId(uint id) { m_populationId = id; }
    uint populationId() const { return m_populationId; }
    // A row outside the rows is ignored; no signal (the check box shows the state already).
    void setPositiveMark(int row, bool flag);
    void setNegativeMark(int row, bool flag);
    // A reset without a change, so that views read every row again.
    void resetView();
    // One record per row with a mark, in row order.
    QVector<ZoneBinding> bindingList() const;

protected:
    struct Row {
        uint zoneID = 0;
        QString zoneName;
        QVector<bool> code; // bit i of the zone code at index i; six entries
        bool positive = false;
        bool negative = false;
        bool select = false;
    };
    const Row *rowAt(const QModelIndex &index) const;
    // Called inside the reset of an update, before the rows are built.
    virtual void readDocument() {}
    // Called inside the reset of clear: what readDocument read goes.
    virtual void forgetDocument() {}

    QVector<Row> m_rows;

private:
    LumaraAnalysisData::ThresholdMode m_mode;
    bool m_negativeEdit = false;
    uint m_populationId = 0;
};
