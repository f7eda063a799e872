#include "resultrecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace {

// ISO 8601 with the offset written out, +00:00 rather than Z, so that every
// record shows the pupil's local time and its offset alike.
QString timeText(const QDateTime &time)
{
    const int offset = time.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return time.toOffsetFromUtc(offset).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
        + QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

} // namespace

ResultRecord ResultRecord::ofThisAccount()
{
    ResultRecord r;
    // The account the process runs as, not what the environment claims.
    if (const passwd *account = ::getpwuid(::getuid())) {
        r.user = QString::fromLocal8Bit(account->pw_name);
        r.name = QString::fromLocal8Bit(account->pw_gecos).section(QLatin1Char(','), 0, 0);
    } else {
        r.user = QString::number(::getuid());
    }
    r.host = QSysInfo::machineHostName();
    return r;
}

QByteArray ResultRecord::newId()
{
    quint32 bits[4];
    QRandomGenerator::system()->fillRange(bits);
    QByteArray id;
    for (quint32 part : bits)
        id += QByteArray::number(part, 16).rightJustified(8, '0');
    return id;
}

QString ResultRecord::fileName() const
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._-]"));
    const auto safe = [](QString text) { return text.replace(other, QStringLiteral("_")); };
    return QStringLiteral("%1@%2-%3-%4.json")
        .arg(safe(user), safe(host), finished.toString(QStringLiteral("yyyyMMdd-HHmmss")),
             QString::fromLatin1(id.left(8)).rightJustified(8, QLatin1Char('0')));
}

QByteArray ResultRecord::toJson() const
{
    QJsonArray stepArray;
    for (const Step &step : steps) {
        QJsonObject s{{QStringLiteral("question"), step.question},
                      {QStringLiteral("answer"), step.answer},
                      {QStringLiteral("right"), step.right},
                      {QStringLiteral("counted"), step.counted},
                      {QStringLiteral("questionText"), step.questionText},
                      {QStringLiteral("answerText"), step.answerText}};
        if (mode == ResultMode::Test1)
            s.insert(QStringLiteral("reply"), step.reply);
        stepArray.append(s);
    }
    QJsonObject object{
        {QStringLiteral("format"), Format},
        {QStringLiteral("id"), QString::fromLatin1(id)},
        {QStringLiteral("user"), user},
        {QStringLiteral("name"), name},
        {QStringLiteral("host"), host},
        {QStringLiteral("topic"), topic},
        {QStringLiteral("mode"), ResultMode::key(mode)},
        {QStringLiteral("started"), timeText(started)},
        {QStringLiteral("finished"), timeText(finished)},
        {QStringLiteral("limitSeconds"), limitSeconds},
        {QStringLiteral("timedOut"), timedOut},
        {QStringLiteral("matches"), matches},
        {QStringLiteral("errors"), errors},
        {QStringLiteral("percent"), percent},
        {QStringLiteral("grade"), timedOut || grade.isEmpty() ? QJsonValue() : QJsonValue(grade)},
        {QStringLiteral("steps"), stepArray},
        {QStringLiteral("topicSha256"), QString::fromLatin1(topicSha256)},
    };
    if (mode == ResultMode::Lab) {
        object.insert(QStringLiteral("lab"), lab.lab);
        object.insert(QStringLiteral("operation"), lab.operation);
        object.insert(QStringLiteral("rows"), lab.rows);
        object.insert(QStringLiteral("columns"), lab.columns);
        object.insert(QStringLiteral("guesses"), lab.guesses);
        object.insert(QStringLiteral("guessedRight"), lab.guessedRight);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

std::optional<ResultRecord> ResultRecord::fromJson(const QByteArray &bytes)
{
    if (bytes.size() > MaxBytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    const auto text = [&o](const char *key) { return o.value(QLatin1String(key)); };
    const std::optional<ResultMode::Value> mode = ResultMode::fromKey(text("mode").toString());
    if (text("format").toInt() != Format || !text("user").isString() || !mode || !text("steps").isArray())
        return std::nullopt;
    ResultRecord r;
    r.id = text("id").toString().toLatin1();
    r.user = text("user").toString();
    r.name = text("name").toString();
    r.host = text("host").toString();
    r.topic = text("topic").toString();
    r.mode = *mode;
    r.started = QDateTime::fromString(text("started").toString(), Qt::ISODate);
    r.finished = QDateTime::fromString(text("finished").toString(), Qt::ISODate);
    if (!r.started.isValid() || !r.finished.isValid())
        return std::nullopt;
    // A limit is at most a day; anything else in the field is no limit.
    const double limit = text("limitSeconds").toDouble();
    r.limitSeconds = limit >= 0 && limit <= 86400 ? qint64(limit) : 0;
    r.timedOut = text("timedOut").toBool();
    r.matches = text("matches").toInt();
    r.errors = text("errors").toInt();
    r.percent = text("percent").toDouble();
    r.grade = text("grade").toString();
    r.topicSha256 = text("topicSha256").toString().toLatin1();
    if (r.mode == ResultMode::Lab) {
        r.lab = {text("lab").toString(),  text("operation").toString(), text("rows").toInt(),
                 text("columns").toInt(), text("guesses").toInt(),      text("guessedRight").toInt()};
    }
    for (const auto &value : text("steps").toArray()) {
        const QJsonObject s = value.toObject();
        r.steps.append({s.value(QLatin1String("question")).toInt(), s.value(QLatin1String("answer")).toInt(),
                        s.value(QLatin1String("reply")).toString(), s.value(QLatin1String("right")).toBool(),
                        s.value(QLatin1String("counted")).toBool(), s.value(QLatin1String("questionText")).toString(),
                        s.value(QLatin1String("answerText")).toString()});
    }
    return r;
}
