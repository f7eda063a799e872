#include "forms/appsetup.h"

#include "forms/printsurfaceaccessible.h"
#include "print/textfont.h"

#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

void AppSetup::apply(QApplication &app, const char *name)
{
    // No display name: Qt would append it to every window title, and the
    // title bars must show the window captions alone.
    app.setApplicationName(QString::fromLatin1(name));
    installRussianTranslation(app);
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Fusion")))
        app.setStyle(style);
    installFontSubstitutes();
    // The windows' own font is the default of every widget and dialog, so the
    // system's default face is never loaded just to be replaced.
    app.setFont(TextFont::make(QStringLiteral("MS Sans Serif"), 8.25));
    installAccessibility();
}

bool AppSetup::installRussianTranslation(QApplication &app)
{
    // The programs are Russian whatever the system's language, so the texts
    // Qt supplies itself (context menus, standard buttons) are Russian too.
    // Without the translation file they stay English; the program runs.
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    app.installTranslator(translator);
    return true;
}

void AppSetup::installAccessibility()
{
    QAccessible::installFactory(PrintSurfaceAccessible::factory);
}

void AppSetup::installFontSubstitutes()
{
    // Liberation Mono has the metrics of Courier New, so printed columns keep
    // their widths; the other two get faces of the same kind.
    const struct
    {
        const char *family;
        QStringList substitutes;
    } table[] = {
        {"Courier New",
         {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")}},
        {"MS Sans Serif",
         {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")}},
        {"Georgia", {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"), QStringLiteral("Serif")}},
    };
    const QStringList installed = QFontDatabase::families();
    for (const auto &entry : table) {
        const QString family = QString::fromLatin1(entry.family);
        if (installed.contains(family, Qt::CaseInsensitive))
            continue;
        QFont::insertSubstitutions(family, entry.substitutes);
        for (const QString &substitute : entry.substitutes) {
            if (installed.contains(substitute, Qt::CaseInsensitive)) {
                TextFont::setFace(family, substitute);
                break;
            }
        }
    }
}
