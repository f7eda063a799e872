#include "core/convert.h"

#include <QLocale>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

QString withSign(const char *begin, const char *end)
{
    QString text = QString::fromLatin1(begin, int(end - begin));
    // Exponents read "1E+20" rather than "1e+20".
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    if (!text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char(' '));
    return text;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Length of the numeric prefix of text from pos: sign, digits, decimal sign,
// digits, exponent. digits counts the mantissa digits seen.
int numericPrefix(const QString &text, int pos, bool allowComma, int &digits)
{
    const int start = pos;
    const int size = int(text.size());
    digits = 0;
    if (pos < size && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        ++pos;
    while (pos < size && text[pos].isDigit() && text[pos].unicode() < 128) {
        ++pos;
        ++digits;
    }
    if (pos < size && (text[pos] == QLatin1Char('.') || (allowComma && text[pos] == QLatin1Char(',')))) {
        ++pos;
        while (pos < size && text[pos].isDigit() && text[pos].unicode() < 128) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (pos < size && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
        int e = pos + 1;
        if (e < size && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        const int expStart = e;
        while (e < size && text[e].isDigit() && text[e].unicode() < 128)
            ++e;
        if (e > expStart)
            pos = e;
    }
    return pos - start;
}

double parseReal(const QString &text, int pos, int length)
{
    QByteArray ascii = text.mid(pos, length).toLatin1();
    ascii.replace(',', '.');
    return std::strtod(ascii.constData(), nullptr);
}

} // namespace

QString Convert::numberText(double value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return withSign(buffer.data(), result.ptr);
}

QString Convert::numberText(float value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return withSign(buffer.data(), result.ptr);
}

QString Convert::numberText(int value)
{
    const QString digits = QString::number(value);
    return value < 0 ? digits : QLatin1Char(' ') + digits;
}

std::optional<qint16> Convert::toInteger16(const QString &text)
{
    int first = 0;
    int last = int(text.size());
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    if (first == last)
        return std::nullopt;
    int digits = 0;
    // Pupils in a Russian setting type a comma as the decimal sign.
    const int length = numericPrefix(text, first, true, digits);
    if (length == 0 || first + length != last)
        return std::nullopt;
    return roundToInteger16(parseReal(text, first, length));
}

std::optional<double> Convert::leadingNumber(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    int digits = 0;
    const int length = numericPrefix(text, pos, false, digits);
    if (length == 0)
        return std::nullopt;
    return parseReal(text, pos, length);
}

std::optional<qint16> Convert::roundToInteger16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode rounds halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

double Convert::wholePart(double value)
{
    return std::floor(value);
}

QString Convert::spanText(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds / 60) % 60;
    const qint64 secs = seconds % 60;
    return QStringLiteral("%1:%2:%3")
        .arg(hours)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

std::optional<qint64> Convert::spanSeconds(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<qint64, 3> fields{};
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        fields[k] = parts[k].toInt(&ok);
        if (!ok || fields[k] < 0)
            return std::nullopt;
    }
    return fields[0] * 3600 + fields[1] * 60 + fields[2];
}

qint64 Convert::elapsedSeconds(double nowFraction, double startFraction)
{
    double span = nowFraction - startFraction;
    if (span < 0)
        span += 1.0;
    // A hair of tolerance so that an exact whole second is not read as the one before.
    return qint64(std::floor(span * 86400.0 + 1e-6));
}

QString Convert::timeText(const QTime &time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString Convert::dateText(const QDate &date)
{
    QLocale locale = QLocale::system();
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::Russian, QLocale::Russia);
    return locale.toString(date, QLocale::ShortFormat);
}
