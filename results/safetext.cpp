#include "safetext.h"

#include <algorithm>

namespace {

bool isControl(char16_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    // Bidirectional marks, embeddings, overrides and isolates; the line and
    // paragraph separators, which break a cell as a line end does.
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069)
        || c == 0x2028 || c == 0x2029;
}

} // namespace

QString SafeText::printable(const QString &text)
{
    const auto bad = [](QChar c) { return isControl(c.unicode()); };
    if (std::none_of(text.cbegin(), text.cend(), bad))
        return text; // shared, not copied: the usual case
    QString clean = text;
    clean.removeIf(bad);
    return clean;
}

QString SafeText::spreadsheetCell(const QString &text)
{
    static const QString starters = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && starters.contains(text.front()) ? QLatin1Char('\'') + text : text;
}

QString SafeText::plainTip(const QString &text)
{
    return text.isEmpty() ? text : QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}
