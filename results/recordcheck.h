#pragma once

#include "resultrecord.h"

// The figures of a record worked out again from its own steps by the
// trainer's rules: a record edited by hand (a grade raised, a percentage
// changed) no longer agrees with the answers it lists.
class RecordCheck
{
public:
    struct Figures
    {
        int matches = 0;
        int errors = 0;
        double percent = 0;
        QString grade;
    };

    // A lab's record has no steps: its figures come from its guesses.
    static Figures fromSteps(const ResultRecord &record);
    // The trainer's grade for a percentage from 0 to 100.
    static QString gradeFor(double percent);
    // Why the record's figures cannot be right, in Russian; empty when they agree.
    static QString disagreement(const ResultRecord &record);

    static const QString FiguresDisagree;
};
