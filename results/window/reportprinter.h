#pragma once

#include <QString>

class QWidget;

// A report (HTML) on paper through Qt's print dialog, which also saves a
// PDF, or straight into a PDF file on A4.
class ReportPrinter
{
public:
    static void print(QWidget *parent, const QString &title, const QString &html);
    // Why the file could not be written, or empty.
    static QString writePdf(const QString &path, const QString &title, const QString &html);
};
