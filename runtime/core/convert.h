#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// The text and number conversions the programs apply to what they print and
// to what a pupil types. Every conversion that can fail says so in its result
// instead of stopping the program.
class Convert
{
public:
    // Shortest decimal form with a period, one leading blank when not negative.
    static QString numberText(double value);
    static QString numberText(float value);
    static QString numberText(int value);

    // Text to a 16-bit whole number: nearest, halves to even. Empty text,
    // text that is not a number and values outside -32768..32767 fail.
    static std::optional<qint16> toInteger16(const QString &text);

    // The leading numeric part of a text (after blanks) as a real number; no
    // value when the text does not start with a number.
    static std::optional<double> leadingNumber(const QString &text);

    // A real to a 16-bit whole number: nearest, halves to even; fails outside the range.
    static std::optional<qint16> roundToInteger16(double value);

    // Largest whole number not above the value.
    static double wholePart(double value);

    // "H:MM:SS" for a span in whole seconds (hours without a leading zero).
    static QString spanText(qint64 seconds);

    // A span text such as "0:00:60" read as a duration in seconds
    // (each field may run past its usual range).
    static std::optional<qint64> spanSeconds(const QString &text);

    // Whole seconds from a start time of day (fraction of a day) to now; a span
    // across midnight is taken modulo one day.
    static qint64 elapsedSeconds(double nowFraction, double startFraction);

    static QString timeText(const QTime &time);
    static QString dateText(const QDate &date);
};
