#include "lookalike.h"

#include <iterator>
#include <string>

namespace {

// Latin and Greek letters and the Cyrillic ones they look like.
constexpr char16_t kAlike[] = u"ABCEHKMOPTXYaceopxykΑΒΓΕΗΚΜΟΠΡΤΥΦΧαεικοπρτυφχ";
constexpr char16_t kCyrillic[] = u"АВСЕНКМОРТХУасеорхукАВГЕНКМОПРТУФХаеікопртуфх";
static_assert(sizeof kAlike == sizeof kCyrillic);

// Marks drawn over a letter, and characters drawn as nothing.
bool isInvisible(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing || category == QChar::Other_Format
        || c.isSpace();
}

} // namespace

QString LookAlike::fold(const QString &text)
{
    // Full-width and other compatibility forms first: "Ｆ" is "F".
    const QString plain = text.normalized(QString::NormalizationForm_KC);
    QString folded;
    folded.reserve(plain.size());
    for (const QChar c : plain) {
        if (isInvisible(c))
            continue;
        const char16_t u = c.unicode();
        const char16_t *alike = std::char_traits<char16_t>::find(kAlike, std::size(kAlike) - 1, u);
        folded += alike ? QChar(kCyrillic[alike - kAlike]) : c;
    }
    folded = folded.toCaseFolded();
    folded.replace(QChar(0x0451), QChar(0x0435)); // ё
    return folded;
}
