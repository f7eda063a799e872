#include "print/ppmresource.h"

#include <QFile>
#include <QImageReader>
#include <QResource>

namespace {

// Larger sides are refused before anything is multiplied.
constexpr qint64 kMaxSide = 65535;

bool isSpace(uchar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

QImage PpmResource::image(const QString &path)
{
    const QResource resource(path);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
        QImage picture = inPlace(resource.data(), resource.size());
        if (!picture.isNull())
            return picture;
    }
    if (!QFile::exists(path))
        return {};
    QImageReader reader(path, "PPM");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QImage PpmResource::inPlace(const uchar *data, qint64 size)
{
    if (!data || size < 2 || data[0] != 'P' || data[1] != '6')
        return {};
    qint64 at = 2;
    auto skipSpace = [&] {
        const qint64 from = at;
        while (at < size && isSpace(data[at]))
            ++at;
        return at > from;
    };
    auto number = [&](qint64 &value) {
        const qint64 from = at;
        value = 0;
        while (at < size && data[at] >= '0' && data[at] <= '9') {
            value = value * 10 + (data[at] - '0');
            if (value > kMaxSide)
                return false;
            ++at;
        }
        return at > from;
    };
    qint64 width = 0;
    qint64 height = 0;
    qint64 maxValue = 0;
    if (!skipSpace() || !number(width) || !skipSpace() || !number(height) || !skipSpace() || !number(maxValue))
        return {};
    // Exactly one white-space character ends the header.
    if (at >= size || !isSpace(data[at]))
        return {};
    ++at;
    if (maxValue != 255 || width == 0 || height == 0)
        return {};
    const qint64 bytesPerLine = width * 3;
    const uchar *pixels = data + at;
    // The image reads whole rows in place only from 4-byte boundaries.
    if (bytesPerLine % 4 != 0 || reinterpret_cast<quintptr>(pixels) % 4 != 0)
        return {};
    if (size - at < bytesPerLine * height)
        return {};
    return QImage(pixels, int(width), int(height), bytesPerLine, QImage::Format_RGB888);
}
