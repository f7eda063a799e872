#include "pupilstatus.h"

#include "safetext.h"
#include "storage/checkedwriter.h"

#include <QFile>

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>
#include <QVector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const QString PupilStatus::Suffix = QStringLiteral(".status");

QString PupilStatus::fileName() const
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    QString u = user;
    QString h = host;
    const QString run = QString::fromLatin1(id.left(8)).rightJustified(8, QLatin1Char('0'));
    return u.replace(unsafe, QStringLiteral("_")) + QLatin1Char('@') + h.replace(unsafe, QStringLiteral("_"))
        + QLatin1Char('-') + run + Suffix;
}

bool PupilStatus::isStatusName(const QString &name)
{
    return name.endsWith(Suffix) && !name.startsWith(QLatin1Char('.'));
}

QByteArray PupilStatus::toJson() const
{
    const QJsonObject object{{QStringLiteral("id"), QString::fromLatin1(id)},
                             {QStringLiteral("user"), user},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("host"), host},
                             {QStringLiteral("topic"), topic},
                             {QStringLiteral("mode"), ResultMode::key(mode)},
                             {QStringLiteral("step"), step},
                             {QStringLiteral("started"), started.toString(Qt::ISODate)},
                             {QStringLiteral("limitSeconds"), limitSeconds},
                             {QStringLiteral("updated"), updated.toString(Qt::ISODate)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<PupilStatus> PupilStatus::fromJson(const QByteArray &bytes)
{
    if (bytes.size() > MaxBytes)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    PupilStatus s;
    s.id = o.value(QStringLiteral("id")).toString().left(64).toLatin1();
    s.user = SafeText::printable(o.value(QStringLiteral("user")).toString());
    s.name = SafeText::printable(o.value(QStringLiteral("name")).toString());
    s.host = SafeText::printable(o.value(QStringLiteral("host")).toString());
    s.topic = SafeText::printable(o.value(QStringLiteral("topic")).toString());
    const std::optional<ResultMode::Value> mode = ResultMode::fromKey(o.value(QStringLiteral("mode")).toString());
    s.step = o.value(QStringLiteral("step")).toInt(-1);
    s.started = QDateTime::fromString(o.value(QStringLiteral("started")).toString(), Qt::ISODate);
    s.limitSeconds = o.value(QStringLiteral("limitSeconds")).toInteger(-1);
    s.updated = QDateTime::fromString(o.value(QStringLiteral("updated")).toString(), Qt::ISODate);
    if (s.user.isEmpty() || !mode || s.step < 0 || s.step > Steps || !s.started.isValid() || !s.updated.isValid()
        || s.limitSeconds < 0)
        return std::nullopt;
    s.mode = *mode;
    return s;
}

QString PupilStatus::write(const QString &folder, const PupilStatus &status)
{
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return writer.error();
    return writer.replace(status.fileName(), status.toJson(), 0640) ? QString() : writer.error();
}

QString PupilStatus::writeVia(const QString &folder, const PupilStatus &status, const QString &hidden)
{
    CheckedWriter writer(folder);
    if (!writer.isOpen())
        return writer.error();
    if (!writer.createNamed(hidden, status.toJson(), 0640))
        return writer.error();
    if (writer.rename(hidden, status.fileName()))
        return QString();
    QString why = writer.error();
    writer.remove(hidden);
    return why;
}

void PupilStatus::remove(const QString &folder, const QString &fileName)
{
    CheckedWriter writer(folder);
    if (writer.isOpen())
        writer.remove(fileName);
}

QVector<PupilStatus> PupilStatus::readAll(const QString &folder, const QStringList &names)
{
    QVector<PupilStatus> statuses;
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return statuses;
    for (const QString &name : names) {
        // Plain files only, never waiting on a FIFO put in a status's place.
        const int fd
            = ::openat(dir, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st
        {
        };
        if (fd < 0)
            continue;
        QFile file;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
            || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            continue;
        }
        std::optional<PupilStatus> status = fromJson(file.read(MaxBytes + 1));
        // Under another name than its own, it claims what it is not. (An SMB
        // client through FUSE may show "@" as "%40": no status name holds a "%".)
        if (!status || status->fileName() != QUrl::fromPercentEncoding(name.toUtf8()))
            continue;
        status->owner = st.st_uid;
        statuses.append(*status);
    }
    ::close(dir);
    return statuses;
}
