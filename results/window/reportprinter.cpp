#include "reportprinter.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>

namespace {

// What a teacher reads on paper without glasses, and what lets twelve
// columns of a results table fit across a landscape sheet.
constexpr qreal kPortraitPoints = 10;
constexpr qreal kLandscapePoints = 8.5;

} // namespace

QPageLayout ReportPrinter::layout(Paper paper)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       paper == Paper::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

std::unique_ptr<QTextDocument> ReportPrinter::document(const QString &title, const QString &html, Paper paper)
{
    auto document = std::make_unique<QTextDocument>();
    document->setMetaInformation(QTextDocument::DocumentTitle, title);
    QFont font = document->defaultFont();
    font.setPointSizeF(paper == Paper::Landscape ? kLandscapePoints : kPortraitPoints);
    document->setDefaultFont(font);
    document->setHtml(html);
    // The page in the document's own pixels, those of the screen it would be
    // shown on, as printing scales them onto the paper.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
    document->setPageSize(layout(paper).paintRectPixels(dpi).size());
    return document;
}

void ReportPrinter::print(QWidget *parent, const QString &title, const QString &html, Paper paper)
{
    QPrinter printer;
    printer.setDocName(title);
    printer.setPageLayout(layout(paper));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать — %1").arg(title));
    if (dialog.exec() != QDialog::Accepted)
        return;
    document(title, html, paper)->print(&printer);
}

QString ReportPrinter::writePdf(const QString &path, const QString &title, const QString &html, Paper paper)
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
    writer.setPageLayout(layout(paper));
    document(title, html, paper)->print(&writer);
    return QString();
}
