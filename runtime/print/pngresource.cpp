#include "print/pngresource.h"

#include <QImageReader>
#include <QPixmap>

QImage PngResource::image(const QString &path)
{
    QImageReader reader(path, "PNG");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QIcon PngResource::icon(const QStringList &paths)
{
    QIcon icon;
    for (const QString &path : paths)
        icon.addPixmap(QPixmap::fromImage(image(path)));
    return icon;
}
