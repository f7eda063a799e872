#include "resultstore.h"

#include "storage/checkedwriter.h"
#include "storage/outbox.h"

#include <QRandomGenerator>

ResultStore::Written ResultStore::keep(const ResultRecord &record)
{
    Written written;
    written.fileName = record.fileName();
    Outbox outbox = Outbox::open();
    if (!outbox.isOpen() || !outbox.keep(written.fileName, record.toJson())) {
        written.message = outbox.error();
        return written;
    }
    written.outcome = Outcome::Kept;
    written.outbox = outbox.folder();
    return written;
}

ResultStore::Written ResultStore::write(const QString &folder, const ResultRecord &record)
{
    return handInKept(folder, keep(record));
}

ResultStore::Written ResultStore::handInKept(const QString &folder, const Written &kept)
{
    Written written = kept;
    if (written.outcome == Outcome::NotSaved)
        return written;
    Outbox outbox(written.outbox);
    const Attempt attempt = handIn(folder, outbox, written.fileName);
    written.outcome = attempt.handedIn ? Outcome::HandedIn : Outcome::Kept;
    written.message = attempt.message;
    return written;
}

ResultStore::Attempt ResultStore::handIn(const QString &folder, Outbox &outbox, const QString &name)
{
    const std::optional<QByteArray> bytes = outbox.read(name);
    if (!bytes)
        return {false, QStringLiteral("не удалось прочитать %1 в папке %2").arg(name, outbox.folder())};
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return {false, writer.error()};
    // What an interrupted attempt left goes first.
    const QString earlier = outbox.leftover(name);
    if (!earlier.isEmpty())
        writer.remove(earlier);
    const auto handedIn = [&]() {
        writer.sync();
        outbox.forget(name);
        if (writer.leftover().isEmpty())
            outbox.forgetLeftover(name);
        return Attempt{true, QString()};
    };
    if (writer.holds(name, *bytes))
        return handedIn();
    const QString hidden = QLatin1String(HiddenPrefix)
        + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
    // Noted before it exists, so that a kill at any point leaves nothing
    // that a later attempt does not remove.
    outbox.noteLeftover(name, hidden);
    // Group-readable, so that the teachers' group (or an ACL mask) can read it.
    if (!writer.createNamed(hidden, *bytes, 0640))
        return {false, writer.error()};
    if (writer.publishOnce(hidden, name, *bytes) == CheckedWriter::Published::Failed) {
        const QString error = writer.error();
        writer.remove(hidden);
        return {false, error};
    }
    return handedIn();
}

ResultStore::Round ResultStore::handInAll(const QString &folder)
{
    Round round;
    for (Outbox &outbox : Outbox::existing()) {
        const QStringList leftovers = outbox.leftoversOnly();
        if (!leftovers.isEmpty()) {
            CheckedWriter writer(folder);
            for (const QString &name : leftovers) {
                if (writer.isOpen() && writer.remove(outbox.leftover(name)))
                    outbox.forgetLeftover(name);
            }
        }
        for (const QString &name : outbox.pending()) {
            const Attempt attempt = handIn(folder, outbox, name);
            if (attempt.handedIn) {
                ++round.handedIn;
                round.lines << QStringLiteral("Передан учителю: %1").arg(name);
            } else {
                ++round.left;
                round.lines << QStringLiteral("Не передан, ждёт на этом компьютере: %1: %2").arg(name, attempt.message);
            }
        }
    }
    return round;
}
