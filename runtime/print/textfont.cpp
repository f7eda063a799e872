#include "print/textfont.h"

#include <QHash>

namespace {
QHash<QString, QString> &faces()
{
    static QHash<QString, QString> table;
    return table;
}
} // namespace

QFont TextFont::make(const QString &family, qreal pointSize, QFont::Weight weight, QFont::Style style)
{
    QFont font(face(family));
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setStyle(style);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

void TextFont::setFace(const QString &family, const QString &face)
{
    faces().insert(family.toCaseFolded(), face);
}

QString TextFont::face(const QString &family)
{
    return faces().value(family.toCaseFolded(), family);
}
