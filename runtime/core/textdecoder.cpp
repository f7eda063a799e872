#include "core/textdecoder.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order.
// 0x98 has no letter and is kept as the control character of the same number,
// so every byte comes back unchanged.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

// The byte that stands for u in Windows-1251, if any.
std::optional<char> windows1251Byte(char16_t u)
{
    if (u < 0x80)
        return char(u);
    if (u >= 0x0410 && u <= 0x044F)
        return char(0xC0 + (u - 0x0410));
    const auto *found = std::find(kUpperHalf.begin(), kUpperHalf.end(), u);
    if (found == kUpperHalf.end())
        return std::nullopt;
    return char(0x80 + (found - kUpperHalf.begin()));
}

bool startsWith(const QByteArray &bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < qsizetype(prefix.size()))
        return false;
    int k = 0;
    for (unsigned char c : prefix) {
        if (static_cast<unsigned char>(bytes[k++]) != c)
            return false;
    }
    return true;
}

} // namespace

QString TextDecoder::decode(const QByteArray &bytes, Encoding *detected)
{
    auto report = [detected](Encoding e) {
        if (detected)
            *detected = e;
    };
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        report(Encoding::Utf8);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        return utf8(bytes.mid(3));
    }
    if (startsWith(bytes, {0xFF, 0xFE}) || startsWith(bytes, {0xFE, 0xFF})) {
        report(Encoding::Utf16);
        const bool little = static_cast<unsigned char>(bytes[0]) == 0xFF;
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return utf16(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        report(Encoding::Utf8);
        return text;
    }
    report(Encoding::Windows1251);
    return fromWindows1251(bytes);
}

QString TextDecoder::fromWindows1251(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        if (b < 0x80)
            text.append(QChar(b));
        else if (b < 0xC0)
            text.append(QChar(kUpperHalf[b - 0x80]));
        else
            text.append(QChar(char16_t(0x0410 + (b - 0xC0))));
    }
    return text;
}

int TextDecoder::firstNotInWindows1251(const QString &text)
{
    for (int k = 0; k < int(text.size()); ++k) {
        if (!windows1251Byte(text[k].unicode()))
            return k;
    }
    return -1;
}

QByteArray TextDecoder::toWindows1251(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes.append(windows1251Byte(c.unicode()).value_or('?'));
    return bytes;
}
