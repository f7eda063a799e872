#pragma once

#include "importedpairs.h"

#include <QString>
#include <QVector>

// Moodle's GIFT question format: the pairs of a topic taken from questions a
// teacher already has in Moodle, and a topic written for Moodle to import.
class GiftFormat
{
public:
    // Matching: questions of three to ten pairs each, and a pair that cannot
    // stand in one (a side with "->" in it, or empty, or a run of fewer than
    // three) as a short-answer question in its place; the order of the pairs
    // is kept. ShortAnswer: one short-answer question per pair. Both: the
    // matching questions, then the pairs they hold as short answers too.
    enum class Form { Matching, ShortAnswer, Both };

    // Every question with one right answer gives a pair, a matching question
    // one per subquestion; the rest is named in skipped with the reason. A
    // pair met again (as Both writes them) is taken once. Line breaks inside
    // a text become spaces.
    static ImportedPairs read(const QString &text);
    static QString write(const QVector<TopicPair> &pairs, const QString &title, Form form = Form::Both);
};
