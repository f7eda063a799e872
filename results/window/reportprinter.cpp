#include "reportprinter.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

namespace {

void fill(QTextDocument &document, const QString &title, const QString &html)
{
    document.setMetaInformation(QTextDocument::DocumentTitle, title);
    document.setHtml(html);
}

} // namespace

void ReportPrinter::print(QWidget *parent, const QString &title, const QString &html)
{
    QPrinter printer;
    printer.setDocName(title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать — %1").arg(title));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    fill(document, title, html);
    document.print(&printer);
}

QString ReportPrinter::writePdf(const QString &path, const QString &title, const QString &html)
{
    {
        // QPdfWriter says nothing of a file it could not open: tried first.
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            return probe.errorString();
    }
    QPdfWriter writer(path);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("tesmora-editor"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QTextDocument document;
    fill(document, title, html);
    document.print(&writer);
    return QString();
}
