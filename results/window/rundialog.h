#pragma once

#include "resultfolder.h"

#include <QDialog>

class QTextBrowser;

// One pupil's run, opened from the results table: the steps as text, the
// times and the flags, and "Печать…".
class RunDialog : public QDialog
{
    Q_OBJECT

public:
    explicit RunDialog(const ResultFolder::Entry &entry, QWidget *parent = nullptr);

    QTextBrowser *text() const { return m_text; }

private:
    QTextBrowser *m_text;
};
