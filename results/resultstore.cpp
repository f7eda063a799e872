#include "resultstore.h"

#include "storage/checkedwriter.h"
#include "storage/outbox.h"

#include <QMutex>
#include <QSet>

namespace {

// How many fresh names a record tries when others took its name first.
constexpr int kNames = 3;

// Why a file waiting in this account's outbox is not to be handed in: it
// is not a record of this account under a name of its own.
QString foreign(const QString &name, const QByteArray &bytes)
{
    const QString me = ResultRecord::ofThisAccount().user;
    if (!ResultRecord::isFileNameOf(name, me))
        return QStringLiteral("имя не записи учётной записи %1").arg(me);
    QString reason;
    const std::optional<ResultRecord> record = ResultRecord::fromJson(bytes, &reason);
    if (!record)
        return reason;
    if (record->user != me)
        return QStringLiteral("запись учётной записи %1, а не %2").arg(record->user, me);
    return QString();
}

ResultStore::Attempt failed(const QString &message)
{
    ResultStore::Attempt attempt;
    attempt.message = message;
    return attempt;
}

} // namespace

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
    if (!attempt.handedAs.isEmpty())
        written.fileName = attempt.handedAs;
    return written;
}

namespace {

// A record handed in by one thread of this process at a time: the window's
// submit and the minute's retry may both take it up, and two attempts at
// once would each note a hidden name of their own over the other's, so that
// a kill between leaves a hidden file no note names.
class NameClaim
{
public:
    explicit NameClaim(const QString &key)
        : m_key(key)
    {
        const QMutexLocker lock(&s_mutex);
        m_held = !s_claimed.contains(key);
        if (m_held)
            s_claimed.insert(key);
    }
    ~NameClaim()
    {
        if (!m_held)
            return;
        const QMutexLocker lock(&s_mutex);
        s_claimed.remove(m_key);
    }
    NameClaim(const NameClaim &) = delete;
    NameClaim &operator=(const NameClaim &) = delete;
    bool held() const { return m_held; }

private:
    static inline QMutex s_mutex;
    static inline QSet<QString> s_claimed;
    QString m_key;
    bool m_held = false;
};

} // namespace

ResultStore::Attempt ResultStore::handIn(const QString &folder, Outbox &outbox, const QString &name)
{
    const NameClaim claim(outbox.folder() + QLatin1Char('/') + name);
    if (!claim.held())
        return failed(QStringLiteral("передаётся в эту минуту"));
    const std::optional<QByteArray> bytes = outbox.read(name);
    if (!bytes)
        return failed(QStringLiteral("не удалось прочитать %1 в папке %2").arg(name, outbox.folder()));
    if (const QString why = foreign(name, *bytes); !why.isEmpty()) {
        outbox.setAside(name);
        Attempt refused = failed(QStringLiteral("не передаётся: %1").arg(why));
        refused.refused = true;
        return refused;
    }
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return failed(writer.error());
    QString current = name;
    for (int attempt = 0; attempt < kNames; ++attempt) {
        Attempt made = handInAs(writer, outbox, current, *bytes);
        if (made.handedIn && current != name)
            return {
                true,
                QStringLiteral("Имя %1 в папке результатов было занято чужим файлом; запись передана под именем %2.")
                    .arg(name, current),
                current, false};
        if (!made.handedAs.isEmpty() || !made.message.isEmpty() || made.handedIn)
            return made;
        // Another's file holds the name: the record goes in under a fresh
        // one, which it keeps here too, so that a retry tries that one.
        const QString fresh = ResultRecord::withFreshDigits(current);
        if (!outbox.rename(current, fresh))
            return failed(outbox.error());
        outbox.forgetLeftover(current);
        current = fresh;
    }
    return failed(QStringLiteral("имена записи %1 в папке результатов заняты чужими файлами").arg(name));
}

ResultStore::Attempt ResultStore::handInAs(CheckedWriter &writer, Outbox &outbox, const QString &name,
                                           const QByteArray &bytes)
{
    // What an interrupted attempt left goes first.
    const QString earlier = outbox.leftover(name);
    if (!earlier.isEmpty())
        writer.remove(earlier);
    const auto handedIn = [&]() {
        writer.sync();
        outbox.forget(name);
        if (writer.leftover().isEmpty())
            outbox.forgetLeftover(name);
        return Attempt{true, QString(), QString(), false};
    };
    if (writer.holds(name, bytes))
        return handedIn();
    const QString hidden = Outbox::freshHiddenName();
    // Noted before it exists, so that a kill at any point leaves nothing
    // that a later attempt does not remove.
    outbox.noteLeftover(name, hidden);
    // Group-readable, so that the teachers' group (or an ACL mask) can read it.
    if (!writer.createNamed(hidden, bytes, 0640))
        return failed(writer.error());
    const CheckedWriter::Published published = writer.publishOnce(hidden, name, bytes);
    if (published == CheckedWriter::Published::Failed || published == CheckedWriter::Published::Taken) {
        const QString error = writer.error();
        writer.remove(hidden);
        // Taken: no message, so that the caller tries a fresh name.
        return failed(published == CheckedWriter::Published::Taken ? QString() : error);
    }
    return handedIn();
}

ResultStore::Round ResultStore::handInAll(const QString &folder)
{
    Round round;
    QStringList refused;
    const QList<Outbox> outboxes = Outbox::existing(&refused);
    for (const QString &why : refused)
        round.lines << QStringLiteral("Не используется: %1").arg(why);
    for (Outbox outbox : outboxes) {
        const QStringList leftovers = outbox.leftoversOnly();
        if (!leftovers.isEmpty()) {
            CheckedWriter writer(folder);
            for (const QString &name : leftovers) {
                if (!outbox.noteIsSound(name)) {
                    round.lines
                        << QStringLiteral("Заметка о %1 называет не временный файл передачи: не выполнена").arg(name);
                    outbox.forgetLeftover(name);
                } else if (writer.isOpen() && writer.remove(outbox.leftover(name))) {
                    outbox.forgetLeftover(name);
                }
            }
        }
        for (const QString &name : outbox.pending()) {
            const Attempt attempt = handIn(folder, outbox, name);
            if (attempt.handedIn) {
                ++round.handedIn;
                round.handed << name;
                round.lines
                    << QStringLiteral("Передан учителю: %1").arg(attempt.handedAs.isEmpty() ? name : attempt.handedAs);
                if (!attempt.message.isEmpty())
                    round.lines << attempt.message;
            } else if (attempt.refused) {
                ++round.refused;
                round.lines << QStringLiteral("Отложен, не передан: %1: %2").arg(name, attempt.message);
            } else {
                ++round.left;
                round.lines << QStringLiteral("Не передан, ждёт на этом компьютере: %1: %2").arg(name, attempt.message);
            }
        }
    }
    return round;
}
