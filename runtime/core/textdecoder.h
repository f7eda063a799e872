#pragma once

#include <QByteArray>
#include <QString>

// Turns the bytes of a teacher's text file into text: UTF-8 when the bytes are
// valid UTF-8 (with or without a byte-order mark), UTF-16 when a UTF-16
// byte-order mark says so, and Windows-1251 otherwise, the code page the
// existing Russian topic files are written in.
class TextDecoder
{
public:
    enum class Encoding { Utf8, Utf16, Windows1251 };

    static QString decode(const QByteArray &bytes, Encoding *detected = nullptr);
    static QString fromWindows1251(const QByteArray &bytes);
    static QByteArray toWindows1251(const QString &text);
    // Where the first character stands that Windows-1251 has no code for;
    // -1 when it has one for every character.
    static int firstNotInWindows1251(const QString &text);
};
