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
    static QFont make(const QString &family, qreal pointSize, QFont::Weight weight = QFont::Normal,
                      QFont::Style style = QFont::StyleNormal);

    // Draws a design family that is not installed with an installed face.
    // Naming the face directly spares the font database a search through
    // every installed font for fallbacks, once per size and style, which
    // is most of the cost of the first text a window shows.
    static void setFace(const QString &family, const QString &face);
    static QString face(const QString &family);
};
