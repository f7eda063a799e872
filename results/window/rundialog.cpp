#include "rundialog.h"

#include "reportprinter.h"
#include "runreport.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

RunDialog::RunDialog(const ResultFolder::Entry &entry, QWidget *parent)
    : QDialog(parent)
    , m_text(new QTextBrowser(this))
{
    const ResultRecord &r = entry.record;
    setWindowTitle(
        QStringLiteral("%1 — %2, %3").arg(r.name.isEmpty() ? r.user : r.name, r.topic, ResultMode::caption(r.mode)));
    m_text->setAccessibleName(QStringLiteral("Ход работы"));
    const QString html = RunReport::run(entry);
    m_text->setHtml(html);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *print = buttons->addButton(QStringLiteral("Печать…"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(print, &QPushButton::clicked, this,
            [this, html] { ReportPrinter::print(this, windowTitle(), html, ReportPrinter::Paper::Portrait); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
    resize(720, 600);
}
