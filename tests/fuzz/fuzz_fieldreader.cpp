// Fuzzes the reading of a teacher's topic file: decoding, the cut of an
// oversized file and the field rules.
#include "core/sequentialfile.h"
#include "core/textdecoder.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Cutting keeps a prefix, never more than the limit, and valid UTF-8 stays valid.
    if (size > 0) {
        QByteArray cut = bytes;
        const qint64 limit = data[0] % 64;
        const bool wasCut = SequentialFile::cutToLimit(cut, limit);
        if (wasCut != (bytes.size() > limit) || cut.size() > limit || !bytes.startsWith(cut))
            std::abort();
        TextDecoder::Encoding whole = TextDecoder::Encoding::Windows1251;
        TextDecoder::Encoding part = TextDecoder::Encoding::Windows1251;
        TextDecoder::decode(bytes, &whole);
        TextDecoder::decode(cut, &part);
        if (whole == TextDecoder::Encoding::Utf8 && !bytes.startsWith("\xEF\xBB\xBF")
            && part != TextDecoder::Encoding::Utf8)
            std::abort();
    }

    // Every field is bounded, holds no line end, and reading always moves on.
    SequentialFile file;
    file.openBytes(bytes);
    qsizetype fields = 0;
    while (!file.atEnd()) {
        const QString field = file.readField();
        if (field.size() > SequentialFile::MaxFieldLength || field.contains(QLatin1Char('\n'))
            || field.contains(QLatin1Char('\r')))
            std::abort();
        if (++fields > qsizetype(size) + 1)
            std::abort();
    }

    // Windows-1251 text survives a round trip through its bytes.
    const QString text = TextDecoder::fromWindows1251(bytes);
    if (TextDecoder::fromWindows1251(TextDecoder::toWindows1251(text)) != text)
        std::abort();
    return 0;
}
