#pragma once

#include <QString>
#include <QVector>

class LabArrays;
class RandomSource;

// A teacher's own array: drawn to a pattern or typed in, then put into the
// linear array or the table in reading order.
class ArrayInput
{
public:
    enum class Pattern { Random, Ascending, Descending, Repeats };

    struct Parsed
    {
        QVector<qint16> values;
        QString refusal; // in Russian; empty when the values are good
    };

    static QVector<qint16> drawn(Pattern pattern, int count, RandomSource &random);
    // Whole numbers from -32768 to 32767 separated by blanks, exactly count of them.
    static Parsed parse(const QString &text, int count);
    static void put(LabArrays &arrays, bool table, const QVector<qint16> &values);
};
