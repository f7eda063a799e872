#pragma once

#include "labcode.h"
#include "steptrace.h"

#include <QString>
#include <QStringList>

// The whole program of a run in one language, to copy into the language's own
// environment and run: the declarations, the array of the run written in, the
// algorithm exactly as the step window lists it, and the array after printed
// on one line, its values separated by blanks (a search then prints its
// extreme and the count on a line of their own).
class LabProgram
{
public:
    // before: the array as the run found it; position: what the pupil typed.
    static QString text(LabCode::Operation operation, LabCode::Language language, const StepTrace::State &before,
                        qint16 position);
    // The file name ending the language's tools expect: .pas, .py, .kum.
    static QString suffix(LabCode::Language language);

private:
    static QStringList values(const StepTrace::State &before, bool table, LabCode::Language language);
};
