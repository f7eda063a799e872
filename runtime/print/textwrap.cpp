#include "textwrap.h"

namespace {

// The longest start of word that fits, one character at least.
qsizetype fitting(const QString &word, const QFontMetricsF &metrics, qreal width)
{
    qsizetype n = word.size();
    while (n > 1 && metrics.horizontalAdvance(word.left(n)) > width)
        --n;
    return n;
}

} // namespace

QStringList TextWrap::lines(const QString &text, const QFontMetricsF &metrics, qreal width, const QString &indent)
{
    QStringList lines;
    QString line;
    const auto fits = [&](const QString &candidate) { return metrics.horizontalAdvance(candidate) <= width; };
    for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty())
            lines << line;
        for (;;) {
            const QString start = lines.isEmpty() ? QString() : indent;
            if (fits(start + word) || word.size() <= 1)
                break;
            const qsizetype n = fitting(word, metrics, width - metrics.horizontalAdvance(start));
            lines << start + word.left(n);
            word = word.mid(n);
        }
        line = (lines.isEmpty() ? QString() : indent) + word;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}
