#pragma once

#include <QtMath>

// Positions and sizes are given in twips: 1440 per inch, 15 per
// device-independent pixel at 96 logical dots per inch.
class Twips
{
public:
    static constexpr int PerPixel = 15;
    static int toPixels(int twips) { return qRound(twips / double(PerPixel)); }
    static int fromPixels(int pixels) { return pixels * PerPixel; }
};
