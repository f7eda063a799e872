#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What every program answers on its command line before it opens a window
// or a display: --help (its usage, in Russian) and --version, and an option
// it does not know, which is refused rather than taken for a folder or a
// topic.
class CommandLine
{
public:
    struct Program
    {
        const char *name;
        QString usage;         // the text --help prints
        QStringList options;   // the options it knows, "--topic"
        QStringList withValue; // those of them that take the next argument
    };

    // The status to end with at once, or nothing to go on. What is said goes
    // to out (help, version) or err (a refusal).
    static std::optional<int> answer(const QStringList &arguments, const Program &program, QString *out, QString *err);
    // The same with the process's arguments, printing to its standard streams.
    static std::optional<int> answer(int argc, char *argv[], const Program &program);

    static QString version();
};
