#pragma once

#include "importedpairs.h"

#include <QString>

// A topic taken from a file a teacher already has: a spreadsheet saved as
// CSV or tab-separated text, or questions exported from Moodle as GIFT.
class TopicImport
{
public:
    enum class Kind { Table, Gift };

    // GIFT for a .gift file, and for one of another name whose text has a
    // question's braces and no delimiter on its first line; a table otherwise.
    static Kind kindOf(const QString &path, const QString &text);
    // The pairs of the file and what was left out; error says why nothing
    // could be read at all (no such file, not text, nothing that is a pair).
    static ImportedPairs read(const QString &path, QString *error);
    // The pairs of a text, as read() takes them once decoded.
    static ImportedPairs parse(Kind kind, const QString &text);
    // What the trainer's files cannot hold made so they can: a double quote
    // becomes «» (a spreadsheet's "quoted words"), a line break a blank.
    static void fitForTrainer(ImportedPairs &imported);
};
