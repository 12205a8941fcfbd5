#pragma once
// The text a call throws as a plain character string (as the managers' getters do for a
// missing id); empty when it throws nothing.
#include <QString>

template <typename F>
QString thrownText(F f)
{
    try {
        f();
    } catch (const char *text) {
        return QString::fromLatin1(text);
    }
    return QString();
}
