#include "resultstore.h"

#include "checkedwriter.h"

#include <QRandomGenerator>
#include <QRegularExpression>

QString ResultStore::safe(const QString &text)
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._-]"));
    return QString(text).replace(other, QStringLiteral("_"));
}

QString ResultStore::fileNameFor(const ResultRecord &record, quint32 random)
{
    return QStringLiteral("%1@%2-%3-%4.json")
        .arg(safe(record.user), safe(record.host), record.finished.toString(QStringLiteral("yyyyMMdd-HHmmss")))
        .arg(random, 8, 16, QLatin1Char('0'));
}

ResultStore::Written ResultStore::write(const QString &folder, const ResultRecord &record)
{
    Written written;
    CheckedWriter writer(folder);
    if (!writer.isOpen()) {
        written.message = writer.error();
        return written;
    }
    const QByteArray bytes = record.toJson();
    // Group-readable, so that the teachers' group (or an ACL mask) can read it.
    const std::optional<QString> temporary = writer.create(QStringLiteral(".record-"), bytes, 0640, folder);
    if (!temporary) {
        written.message = writer.error();
        return written;
    }
    for (int attempt = 0; attempt < 8 && !written.saved; ++attempt) {
        written.fileName = fileNameFor(record, QRandomGenerator::system()->generate());
        written.saved = writer.publish(*temporary, written.fileName);
    }
    if (!written.saved) {
        written.message = writer.error();
        writer.remove(*temporary);
        return written;
    }
    writer.sync();
    return written;
}
