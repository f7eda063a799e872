#pragma once

#include "forms/form.h"
#include "print/fontwarmup.h"

#include <QApplication>
#include <QVariant>

#include <memory>

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
        return runWith(argc, argv, name, [](QApplication &) { return std::make_unique<Window>(); });
    }

    // The same with the window made by make(app), which may return none to
    // end the program at once with the status it left in app's "exitStatus".
    template <class Make>
    static int runWith(int argc, char *argv[], const char *name, Make make)
    {
        FontWarmUp fonts; // while the toolkit connects to the display
        QApplication app(argc, argv);
        fonts.wait();
        apply(app, name);
        const std::unique_ptr<Form> window = make(app);
        if (!window)
            return app.property("exitStatus").toInt();
        QObject::connect(window.get(), &Form::ended, &app, &QApplication::quit, Qt::QueuedConnection);
        window->showForm();
        return app.exec();
    }
};
