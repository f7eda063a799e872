#pragma once

#include <QFontMetricsF>
#include <QStringList>

// A line of text broken into lines no wider than a width, at blanks, so that
// a long message stays within the window rather than running off its edge;
// a word wider than the width alone is broken where it must be. Lines after
// the first start with indent.
class TextWrap
{
public:
    static QStringList lines(const QString &text, const QFontMetricsF &metrics, qreal width,
                             const QString &indent = QString());
};
