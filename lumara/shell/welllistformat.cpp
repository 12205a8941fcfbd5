#include "shell/welllistformat.h"

#include <cmath>

namespace WellListFormat {

QString formatShortNumber(double value)
{
    return QString::number(value, value > 99999 ? 'e' : 'f', 2);
}

QString formatNumber(double value)
{
    // The first pass decides the form on the rounded value.
    return formatShortNumber(QString::number(value, 'f', 2).toDouble());
}

bool hasValue(double value)
{
    return std::isfinite(value);
}

QString formatFigure(double value)
{
    return hasValue(value) ? formatNumber(value) : notAvailable();
}

QString fixedFigure(double value)
{
    return hasValue(value) ? QString::number(value, 'f', 2) : notAvailable();
}

double readNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : 0.0;
}

QString dealNumber(const QString &text)
{
    return formatShortNumber(readNumber(text));
}

QString increasing(const QString &text)
{
    return formatShortNumber(readNumber(text) + 1.0);
}

QString reduction(const QString &text)
{
    const double value = readNumber(text) - 1.0;
    return value < 0.0001 ? QStringLiteral("0.00") : formatShortNumber(value);
}

int channelTypeOfSymbol(QChar symbol)
{
    switch (symbol.unicode()) {
    case 'U':
        return 0;
    case 'N':
        return 1;
    case 'P':
        return 2;
    default:
        return 3;
    }
}

int selectorIndexOfSymbol(QChar symbol)
{
    switch (symbol.unicode()) {
    case 'U':
        return 0;
    case 'P':
        return 1;
    case 'S':
        return 2;
    default:
        return 3;
    }
}

QChar symbolOfSelectorIndex(int index)
{
    static const char symbols[] = {'U', 'P', 'S', 'N'};
    return index >= 0 && index < 4 ? QChar(symbols[index]) : QChar(' ');
}

int channelEntryOfColumn(int column)
{
    return column < 6 ? -1 : (column - 6) / 3;
}

int populationOfColumn(int column)
{
    return column < 3 ? -1 : (column - 3) / 7;
}

} // namespace WellListFormat
