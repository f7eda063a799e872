#pragma once

#include <QImage>
#include <QString>

// A 24-bit picture shipped in the resources as an uncompressed binary PPM
// whose pixel rows start on 4-byte boundaries. The image reads those rows
// where they lie: showing the picture costs no decoding, no copy and no
// memory of its own. A picture in any other form is read the ordinary way.
class PpmResource
{
public:
    static QImage image(const QString &path);

    // The image over the pixels of data, left where they are, or a null image
    // when data is not a PPM of that kind. data must outlive the image.
    static QImage inPlace(const uchar *data, qint64 size);
};
