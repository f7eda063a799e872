#include "commandline.h"

#include <QFile>

#include <cstdio>

QString CommandLine::version()
{
    return QStringLiteral(CLASSROOM_VERSION);
}

std::optional<int> CommandLine::answer(const QStringList &arguments, const Program &program, QString *out, QString *err)
{
    const QString name = QString::fromLatin1(program.name);
    for (int k = 0; k < arguments.size(); ++k) {
        const QString &argument = arguments[k];
        if (argument == QLatin1String("--"))
            break; // what follows is a name, whatever it looks like
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            *out = program.usage;
            return 0;
        }
        if (argument == QLatin1String("--version")) {
            *out = QStringLiteral("%1 %2\n").arg(name, version());
            return 0;
        }
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            continue;
        const QString option = argument.section(QLatin1Char('='), 0, 0);
        if (!program.options.contains(option)) {
            *err = QStringLiteral("%1: неизвестный параметр «%2». Справка: %1 --help\n").arg(name, argument);
            return 2;
        }
        if (program.withValue.contains(option) && !argument.contains(QLatin1Char('=')))
            ++k;
    }
    return std::nullopt;
}

std::optional<int> CommandLine::answer(int argc, char *argv[], const Program &program)
{
    QStringList arguments;
    for (int k = 1; k < argc; ++k)
        arguments << QFile::decodeName(argv[k]);
    QString out;
    QString err;
    const std::optional<int> status = answer(arguments, program, &out, &err);
    std::fputs(out.toLocal8Bit().constData(), stdout);
    std::fputs(err.toLocal8Bit().constData(), stderr);
    return status;
}
