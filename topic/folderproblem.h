#pragma once

#include <QString>

// What is wrong with a folder the class settings name, in Russian and with
// the folder, said where it matters: a typo in class.conf otherwise leaves a
// lesson without its topics or its results and nobody told. Empty when the
// folder is as needed (or none is set). Each call asks the file system, so
// a window asks it off its thread.
class FolderProblem
{
public:
    enum class Need { Read, Write };

    static QString ofTopics(const QString &folder, Need need = Need::Read);
    static QString ofResults(const QString &folder, Need need);
};
