#pragma once

#include <QString>

// Names that look the same on the screen: a topic typed "Физикa" with a Latin
// "a" reads as the class's "Физика" but is another name. Folding maps the
// Latin letters that look like Cyrillic ones to those, "ё" to "е", drops
// invisible characters and blanks, and folds case.
class LookAlike
{
public:
    static QString fold(const QString &text);
};
