#include "programdialog.h"

#include "storage/workerthreads.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

ProgramDialog::ProgramDialog(const QString &title, const QString &program, const QString &suffix, QWidget *parent)
    : QDialog(parent)
    , m_text(new QPlainTextEdit(program, this))
    , m_suffix(suffix)
{
    setObjectName(QStringLiteral("ProgramDialog"));
    setWindowTitle(title);
    m_text->setObjectName(QStringLiteral("programText"));
    m_text->setAccessibleName(QStringLiteral("Программа"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font().pointSizeF());
    m_text->setFont(mono);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *copyButton = buttons->addButton(QStringLiteral("Копировать"), QDialogButtonBox::ActionRole);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    QPushButton *saveButton = buttons->addButton(QStringLiteral("Сохранить…"), QDialogButtonBox::ActionRole);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    connect(copyButton, &QPushButton::clicked, this, &ProgramDialog::copy);
    connect(saveButton, &QPushButton::clicked, this, &ProgramDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addWidget(buttons);
}

QString ProgramDialog::program() const
{
    return m_text->toPlainText();
}

void ProgramDialog::copy()
{
    QGuiApplication::clipboard()->setText(program());
}

void ProgramDialog::save()
{
    // Not waited for: the lab's windows stay alive under it.
    auto *chooser = new QFileDialog(this, QStringLiteral("Сохранить программу"), QStringLiteral("lab") + m_suffix,
                                    QStringLiteral("*") + m_suffix);
    chooser->setObjectName(QStringLiteral("saveProgramChooser"));
    chooser->setAcceptMode(QFileDialog::AcceptSave);
    chooser->setDefaultSuffix(m_suffix.mid(1));
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    connect(chooser, &QFileDialog::fileSelected, this, &ProgramDialog::saveTo);
    chooser->open();
}

void ProgramDialog::saveTo(const QString &path)
{
    // The folder may be on a file server: written on a worker thread.
    auto *watcher = new QFutureWatcher<QString>(this);
    connect(watcher, &QFutureWatcher<QString>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        emit saved(path, watcher->result());
        if (!watcher->result().isEmpty())
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("Не удалось сохранить %1: %2").arg(path, watcher->result()));
    });
    watcher->setFuture(QtConcurrent::run(WorkerThreads::pool(), [path, bytes = program().toUtf8()] {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return QString();
        return file.errorString();
    }));
}
