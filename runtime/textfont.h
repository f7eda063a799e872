#pragma once

#include <QFont>

// Every font the programs draw or measure text with. The windows hold Latin
// and Cyrillic text, which needs no shaping: without it a text is as wide as
// the sum of its characters (no kerning, so printed columns line up the same
// way on every machine), and the fonts' layout tables and most of HarfBuzz
// are never loaded. Scripts that do need shaping still get it.
class TextFont
{
public:
    static QFont make(const QString &family, qreal pointSize, bool bold = false, bool italic = false);
};
