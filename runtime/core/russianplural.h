#pragma once

#include <QString>

// "1 попытка", "3 попытки", "17 попыток": a count with the form of its noun
// that Russian asks for it.
class RussianPlural
{
public:
    static QString count(qint64 n, const char *one, const char *few, const char *many);
};
