#include "shell/channelcolors.h"

#include <utility>

QString getChannelColor(int channel)
{
    switch (channel) {
    case 2:
        return QStringLiteral("#e42520");
    case 3:
        return QStringLiteral("#67b32e");
    case 4:
        return QStringLiteral("#e8a400");
    case 5:
        return QStringLiteral("#437e84");
    case 6:
        return QStringLiteral("#720065");
    default:
        return QStringLiteral("#2b4b9b");
    }
}

QString getTwoChannelColor(int a, int b)
{
    if (a < 1 || a > 6 || b < 1 || b > 6)
        return QStringLiteral("#000");
    if (a == b) {
        static const char *const names[] = {"Blue", "Cyan", "Green", "Orange", "Red", "DarkRed"};
        return QString::fromLatin1(names[a - 1]);
    }
    if (a > b)
        std::swap(a, b);
    // Upper triangle of the 6 x 6 pairs, row by row: (1,2) .. (1,6), (2,3) .. (5,6).
    static const char *const pairs[6][6] = {
        {nullptr, "#a6539b", "#6dc6d9", "#2061df", "#a298ff", "#004b35"},
        {nullptr, nullptr, "#f3e600", "#fb3aff", "#ffa3a4", "#8000ff"},
        {nullptr, nullptr, nullptr, "#68c1c1", "#0b4cd3", "#d4d959"},
        {nullptr, nullptr, nullptr, nullptr, "#a64700", "#ad1515"},
        {nullptr, nullptr, nullptr, nullptr, nullptr, "#420084"},
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr},
    };
    return QString::fromLatin1(pairs[a - 1][b - 1]);
}

QString getThreeChannelColor(int a, int b, int c)
{
    struct Triple {
        int a, b, c;
        const char *colour;
    };
    static const Triple triples[] = {
        {1, 2, 3, "#00dcfb"}, {1, 2, 4, "#efd4ff"}, {1, 2, 5, "#ffb7fa"}, {1, 2, 6, "#93b4ff"},
        {1, 3, 4, "#e6c7e3"}, {1, 3, 5, "#ff9ee2"}, {1, 3, 6, "#84a7e3"}, {1, 4, 5, "#ff73dc"},
        {1, 4, 6, "#eb70d2"}, {1, 5, 6, "#ff3fe0"}, {2, 3, 4, "#e6e5e4"}, {2, 3, 5, "#ffdae8"},
        {2, 3, 6, "#84d7e4"}, {2, 4, 5, "#ffbedd"}, {2, 4, 6, "#e7b1ca"}, {2, 5, 6, "#f18fbd"},
        {3, 4, 5, "#ffcc79"}, {3, 4, 6, "#f3be44"}, {3, 5, 6, "#ff9953"}, {4, 5, 6, "#ff5c14"},
    };
    for (const Triple &t : triples) {
        if (t.a == a && t.b == b && t.c == c)
            return QString::fromLatin1(t.colour);
    }
    return QStringLiteral("#000000");
}
