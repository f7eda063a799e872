#include "arrayinput.h"

#include "core/randomsource.h"
#include "labarrays.h"

#include <QRegularExpression>

#include <algorithm>

QVector<qint16> ArrayInput::drawn(Pattern pattern, int count, RandomSource &random)
{
    QVector<qint16> values;
    if (pattern == Pattern::Repeats) {
        // A few values, each likely to come up more than once.
        QVector<qint16> few;
        for (int k = std::max(2, count / 3); k > 0; --k)
            few.append(LabArrays::randomElement(random));
        for (int k = 0; k < count; ++k)
            values.append(few[std::min(int(random.draw() * few.size()), int(few.size()) - 1)]);
        return values;
    }
    for (int k = 0; k < count; ++k)
        values.append(LabArrays::randomElement(random));
    if (pattern == Pattern::Ascending)
        std::sort(values.begin(), values.end());
    else if (pattern == Pattern::Descending)
        std::sort(values.begin(), values.end(), std::greater<>());
    return values;
}

ArrayInput::Parsed ArrayInput::parse(const QString &text, int count)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    Parsed parsed;
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    for (const QString &word : words) {
        bool ok = false;
        const int value = word.toInt(&ok, 10);
        if (!ok || value < -32768 || value > 32767) {
            parsed.refusal = QStringLiteral("«%1» — не целое число от -32768 до 32767").arg(word.left(40));
            return parsed;
        }
        parsed.values.append(qint16(value));
    }
    if (parsed.values.size() < count) {
        parsed.refusal = QStringLiteral("Чисел %1, а нужно %2: не хватает %3")
                             .arg(parsed.values.size())
                             .arg(count)
                             .arg(count - parsed.values.size());
    } else if (parsed.values.size() > count) {
        parsed.refusal = QStringLiteral("Чисел %1, а нужно %2: лишних %3")
                             .arg(parsed.values.size())
                             .arg(count)
                             .arg(parsed.values.size() - count);
    }
    return parsed;
}

void ArrayInput::put(LabArrays &arrays, bool table, const QVector<qint16> &values)
{
    const int columns = std::max<int>(arrays.m(), 1);
    for (int k = 0; k < values.size(); ++k) {
        if (table)
            arrays.setCell(k / columns + 1, k % columns + 1, values[k]);
        else
            arrays.setElement(k + 1, values[k]);
    }
}
