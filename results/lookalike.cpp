#include "lookalike.h"

#include <iterator>
#include <string>

namespace {

// Latin letters and the Cyrillic ones they look like, upper and lower case.
constexpr char16_t kLatin[] = u"ABCEHKMOPTXYaceopxyk";
constexpr char16_t kCyrillic[] = u"АВСЕНКМОРТХУасеорхук";
static_assert(sizeof kLatin == sizeof kCyrillic);

bool isInvisible(char16_t c)
{
    return c == 0x00AD || (c >= 0x200B && c <= 0x200F) || c == 0x2060 || c == 0xFEFF;
}

} // namespace

QString LookAlike::fold(const QString &text)
{
    QString folded;
    folded.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (isInvisible(u) || c.isSpace())
            continue;
        const char16_t *latin = std::char_traits<char16_t>::find(kLatin, std::size(kLatin) - 1, u);
        folded += latin ? QChar(kCyrillic[latin - kLatin]) : c;
    }
    folded = folded.toCaseFolded();
    folded.replace(QChar(0x0451), QChar(0x0435)); // ё
    return folded;
}
