#pragma once
// The well list's pure rules: how its numbers are written, how channel type symbols map to
// the two integer orders, and which channel or population a table column stands for.
#include <QChar>
#include <QString>

namespace WellListFormat {

// The tables' number format: rounded to two decimals first, then written with two decimals,
// in exponent form above 99999 (99999.004 stays "99999.00", 100000 is "1.00e+05").
QString formatNumber(double value);
// What the tables show for a figure that has no value.
inline QString notAvailable()
{
    return QStringLiteral("N/A");
}
// Whether a figure has a value: not-a-number and the infinities (a concentration of a well
// whose droplets are all positive, the uncertainty of one without positives) have none.
bool hasValue(double value);
// formatNumber of a figure; notAvailable() when it has no value.
QString formatFigure(double value);
// A figure with two fixed decimals, as the result workbook and the ratio table write it;
// notAvailable() when it has no value.
QString fixedFigure(double value);

// The number format of the editors' spin texts: written once with two decimals, exponent form
// above 99999 (so 99999.004 gives "1.00e+05" here).
QString formatShortNumber(double value);
// A spin text as a number; a text that is not a number reads as 0.
double readNumber(const QString &text);
// The editors' step operations on a spin text.
QString dealNumber(const QString &text);
QString increasing(const QString &text);
QString reduction(const QString &text); // "0.00" when the result is below 0.0001

// The type queries' order: 0 'U', 1 'N', 2 'P', 3 any other symbol.
int channelTypeOfSymbol(QChar symbol);
// The experiment table's selector order: 0 'U', 1 'P', 2 'S', 3 any other symbol.
int selectorIndexOfSymbol(QChar symbol);
// The symbol of a selector index: 0 'U', 1 'P', 2 'S', 3 'N', anything else ' '.
QChar symbolOfSelectorIndex(int index);

// Experiment table: the channel-list entry a column shows (6 fixed columns, then 3 per
// channel); -1 for a fixed column.
int channelEntryOfColumn(int column);
// Result table: the population a column shows (3 fixed columns, then 7 per population); -1
// for a fixed column.
int populationOfColumn(int column);

} // namespace WellListFormat
