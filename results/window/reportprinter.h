#pragma once

#include <QPageLayout>
#include <QString>

#include <memory>

class QTextDocument;
class QWidget;

// A report (HTML) on paper through Qt's print dialog, which also saves a
// PDF, or straight into a PDF file on A4. A table of many columns goes on a
// landscape page in a smaller type, so that its cells keep their words whole.
class ReportPrinter
{
public:
    enum class Paper { Portrait, Landscape };

    static void print(QWidget *parent, const QString &title, const QString &html, Paper paper);
    // Why the file could not be written, or empty.
    static QString writePdf(const QString &path, const QString &title, const QString &html, Paper paper);

    // The document as it goes on the page: its type, and laid out on the
    // page's printable width.
    static std::unique_ptr<QTextDocument> document(const QString &title, const QString &html, Paper paper);
    static QPageLayout layout(Paper paper);
    // The title as the print dialog offers it for a file's name: no letter
    // that Windows forbids in one.
    static QString docName(const QString &title);
};
