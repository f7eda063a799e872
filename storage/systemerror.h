#pragma once

#include <QString>

// What a failed system call means, in Russian, for the messages the teacher
// reads: "на диске нет места" rather than an English text or a number.
class SystemError
{
public:
    static QString text(int error);
    // "Не удалось <action> <file>: <reason>."
    static QString about(const QString &action, const QString &file, int error);
};
