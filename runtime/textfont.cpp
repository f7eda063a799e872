#include "textfont.h"

QFont TextFont::make(const QString &family, qreal pointSize, bool bold, bool italic)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}
