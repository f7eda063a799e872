#include "reportprinter.h"

#include "runreport.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>

namespace {

// What a teacher reads on paper without glasses, and what lets twelve
// columns of a results table fit across a landscape sheet.
constexpr qreal kPortraitPoints = 10;
constexpr qreal kLandscapePoints = 8.5;

// The width of each column's longest word and of its longest cell.
struct Needs
{
    QVector<qreal> word;
    QVector<qreal> whole;
};

Needs needsOf(const QTextTable &table, const QFont &font)
{
    Needs needs{QVector<qreal>(table.columns(), 0), QVector<qreal>(table.columns(), 0)};
    QFont bold = font;
    bold.setBold(true);
    for (int row = 0; row < table.rows(); ++row) {
        // The header's cells are bold; a word there must fit as well.
        const QFontMetricsF metrics(row == 0 ? bold : font);
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            const QString text = cursor.selectedText();
            needs.whole[column] = std::max(needs.whole[column], metrics.horizontalAdvance(text));
            // Words break at blanks, and at the breaks the report puts into a
            // word too long for any column.
            QString blanks = text;
            blanks.replace(QChar(RunReport::WordBreak), QLatin1Char(' '));
            for (const QString &word : blanks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                needs.word[column] = std::max(needs.word[column], metrics.horizontalAdvance(word));
        }
    }
    return needs;
}

// Every column at least as wide as its longest word, and what room is left
// shared by what each needs beyond that: a long topic wraps at its blanks,
// no name is broken mid-word and no column is squeezed to a letter.
void fitColumns(QTextTable &table, const QFont &font, qreal width)
{
    const QTextTableFormat format = table.format();
    // Each cell's padding and borders on both sides, and the table's own.
    const qreal perColumn = 2 * (format.cellPadding() + format.border()) + format.cellSpacing() + 7;
    width -= 2 * format.border() + format.cellSpacing() + 2 * format.margin();
    const Needs needs = needsOf(table, font);
    const int columns = table.columns();
    qreal words = 0;
    qreal beyond = 0;
    for (int column = 0; column < columns; ++column) {
        words += needs.word[column] + perColumn;
        beyond += needs.whole[column] - needs.word[column];
    }
    const qreal room = std::max<qreal>(0, width - words);
    if (room >= beyond)
        return; // every cell fits on one line as the table lays itself out
    QVector<QTextLength> lengths;
    for (int column = 0; column < columns; ++column) {
        const qreal extra = beyond > 0 ? (needs.whole[column] - needs.word[column]) * room / beyond : 0;
        // A cell's width holds its padding; its borders and spacing lie outside.
        lengths << QTextLength(QTextLength::FixedLength, needs.word[column] + extra + 2 * format.cellPadding() + 4);
    }
    QTextTableFormat fitted = format;
    fitted.setColumnWidthConstraints(lengths);
    fitted.setWidth(QTextLength());
    table.setFormat(fitted);
}

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
    const qreal width = document->pageSize().width() - 2 * document->documentMargin();
    for (QTextFrame *frame : document->rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table)
            continue;
        // A ruled table's header row again at the top of every page it runs onto.
        if (table->format().border() > 0) {
            QTextTableFormat format = table->format();
            format.setHeaderRowCount(1);
            table->setFormat(format);
        }
        fitColumns(*table, font, width);
    }
    return document;
}

QString ReportPrinter::docName(const QString &title)
{
    QString name = title;
    name.replace(QStringLiteral(": "), QStringLiteral(" — "));
    for (const QChar forbidden : QStringLiteral("\\/:*?\"<>|"))
        name.replace(forbidden, QLatin1Char('_'));
    return name;
}

void ReportPrinter::print(QWidget *parent, const QString &title, const QString &html, Paper paper)
{
    QPrinter printer;
    printer.setDocName(docName(title));
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
