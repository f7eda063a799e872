#pragma once

#include <QColor>

// Colour values are 0x00BBGGRR: red in the low byte, so 255 is pure red.
class ColorValue
{
public:
    static QColor toColor(quint32 value)
    {
        return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
    }
};
