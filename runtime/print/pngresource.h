#pragma once

#include <QIcon>
#include <QImage>
#include <QStringList>

// Icons built into the programs. They are read as PNG without guessing:
// asked to guess, Qt loads every image plug-in (and the JPEG library) to ask
// each whether it knows the file.
class PngResource
{
public:
    static QIcon icon(const QStringList &paths);

private:
    static QImage image(const QString &path);
};
