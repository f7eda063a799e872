#pragma once

#include "forms/form.h"
#include "print/fontwarmup.h"

#include <QApplication>

// What every program sets up before its window: one widget style on every
// platform, close faces where the design fonts are not installed, and the
// print surface made readable to screen readers.
class AppSetup
{
public:
    static void apply(QApplication &app, const char *name);
    static void installFontSubstitutes();
    // Qt's own texts in Russian; false when the translation is not installed.
    static bool installRussianTranslation(QApplication &app);
    // Screen readers can read the print surface.
    static void installAccessibility();

    // The whole life of a program: its one window, until "Выход" ends it.
    template <class Window>
    static int run(int argc, char *argv[], const char *name)
    {
        FontWarmUp fonts; // while the toolkit connects to the display
        QApplication app(argc, argv);
        fonts.wait();
        apply(app, name);
        Window window;
        QObject::connect(&window, &Form::ended, &app, &QApplication::quit, Qt::QueuedConnection);
        window.showForm();
        return app.exec();
    }
};
