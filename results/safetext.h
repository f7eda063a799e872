#pragma once

#include <QString>

// Texts that come from files any pupil may have written (names, topics, the
// texts of a run), made safe to show, print and export: nothing in them can
// move the teacher's terminal, turn a line around, start a spreadsheet's
// formula or be taken for HTML.
class SafeText
{
public:
    // Without C0 and C1 control characters (ESC, BEL, NUL, line breaks, TAB)
    // and the bidirectional controls, which reorder or hide what follows.
    static QString printable(const QString &text);
    // A cell a spreadsheet takes as text: one that begins with =, +, -, @,
    // TAB or CR, which would start a formula, gets a leading apostrophe.
    static QString spreadsheetCell(const QString &text);
    // Rich text that shows text exactly as it is: for tooltips, which Qt
    // would otherwise render as HTML.
    static QString plainTip(const QString &text);
};
