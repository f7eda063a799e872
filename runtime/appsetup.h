#pragma once

class QApplication;

// What every program sets up before its window: one widget style on every
// platform, and close faces where the design fonts are not installed.
class AppSetup
{
public:
    static void apply(QApplication &app, const char *name);
    static void installFontSubstitutes();
    // Screen readers can read the print surface.
    static void installAccessibility();
};
