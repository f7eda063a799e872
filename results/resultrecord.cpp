#include "resultrecord.h"

#include "safetext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSysInfo>

#include <cmath>
#include <cstdlib>
#include <iterator>

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

ResultRecord ResultRecord::openingOf(const ResultRecord &record)
{
    ResultRecord r = record;
    r.opening = true;
    r.unfinished = false;
    r.attempt.clear();
    r.finished = r.started;
    r.timedOut = false;
    r.matches = r.errors = 0;
    r.percent = 0;
    r.grade.clear();
    r.steps.clear();
    return r;
}

namespace {

// The part of a file name made of a login or a computer's name.
QString safe(QString text)
{
    static const QRegularExpression other(QStringLiteral("[^A-Za-z0-9._-]"));
    return text.replace(other, QStringLiteral("_"));
}

} // namespace

bool ResultRecord::isFileNameOf(const QString &name, const QString &user)
{
    static const QRegularExpression rest(QStringLiteral("^@[A-Za-z0-9._-]+-\\d{8}-\\d{6}-[0-9a-f]{8}\\.(json|start)$"));
    const QString login = safe(user);
    return !login.isEmpty() && name.startsWith(login) && rest.match(name.mid(login.size())).hasMatch();
}

QString ResultRecord::withFreshDigits(const QString &name)
{
    const QString digits
        = QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, QLatin1Char('0'));
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return name.left(dot - 8) + digits + name.mid(dot);
}

QString ResultRecord::fileName() const
{
    return QStringLiteral("%1@%2-%3-%4%5")
        .arg(safe(user), safe(host), finished.toString(QStringLiteral("yyyyMMdd-HHmmss")),
             QString::fromLatin1(id.left(8)).rightJustified(8, QLatin1Char('0')), opening ? OpeningEnding : Ending);
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
        {QStringLiteral("grade"), timedOut || unfinished || grade.isEmpty() ? QJsonValue() : QJsonValue(grade)},
        {QStringLiteral("steps"), stepArray},
        {QStringLiteral("topicSha256"), QString::fromLatin1(topicSha256)},
        {QStringLiteral("state"),
         opening          ? QStringLiteral("started")
             : unfinished ? QStringLiteral("unfinished")
             : timedOut   ? QStringLiteral("timedOut")
                          : QStringLiteral("finished")},
    };
    if (!attempt.isEmpty())
        object.insert(QStringLiteral("attempt"), QString::fromLatin1(attempt));
    if (mode == ResultMode::Lab) {
        object.insert(QStringLiteral("lab"), lab.lab);
        object.insert(QStringLiteral("operation"), lab.operation);
        object.insert(QStringLiteral("rows"), lab.rows);
        object.insert(QStringLiteral("columns"), lab.columns);
        object.insert(QStringLiteral("guesses"), lab.guesses);
        object.insert(QStringLiteral("guessedRight"), lab.guessedRight);
        object.insert(QStringLiteral("changes"), lab.changes);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

namespace {

// Why bytes are not a record: "не запись: …".
std::nullopt_t refuse(QString *reason, const QString &why)
{
    if (reason)
        *reason = QStringLiteral("не запись: ") + why;
    return std::nullopt;
}

// A text field: a string of at most the record's length, cleaned of
// control characters; nothing when the field is there and is not one.
std::optional<QString> textOf(const QJsonValue &value)
{
    if (value.isUndefined() || value.isNull())
        return QString();
    if (!value.isString() || value.toString().size() > ResultRecord::MaxText)
        return std::nullopt;
    return SafeText::printable(value.toString());
}

// A whole number in range, or nothing; missing is 0.
std::optional<int> wholeOf(const QJsonValue &value, int lowest, int highest)
{
    if (value.isUndefined())
        return 0;
    const double number = value.toDouble(-1e300);
    if (!value.isDouble() || number != std::floor(number) || number < lowest || number > highest)
        return std::nullopt;
    return int(number);
}

std::optional<bool> flagOf(const QJsonValue &value)
{
    if (value.isUndefined())
        return false;
    return value.isBool() ? std::optional<bool>(value.toBool()) : std::nullopt;
}

// One step, an object of the known fields only.
std::optional<ResultRecord::Step> stepOf(const QJsonValue &value)
{
    static const QStringList known
        = {QStringLiteral("question"),  QStringLiteral("answer"),  QStringLiteral("reply"),
           QStringLiteral("right"),     QStringLiteral("counted"), QStringLiteral("questionText"),
           QStringLiteral("answerText")};
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject s = value.toObject();
    for (auto it = s.begin(); it != s.end(); ++it) {
        if (!known.contains(it.key()))
            return std::nullopt;
    }
    const auto question = wholeOf(s.value(QLatin1String("question")), 0, ResultRecord::MaxIndex);
    const auto answer = wholeOf(s.value(QLatin1String("answer")), 0, ResultRecord::MaxIndex);
    const auto reply = textOf(s.value(QLatin1String("reply")));
    const auto right = flagOf(s.value(QLatin1String("right")));
    const auto counted = flagOf(s.value(QLatin1String("counted")));
    const auto questionText = textOf(s.value(QLatin1String("questionText")));
    const auto answerText = textOf(s.value(QLatin1String("answerText")));
    if (!question || !answer || !reply || !right || !counted || !questionText || !answerText)
        return std::nullopt;
    return ResultRecord::Step{*question, *answer, *reply, *right, *counted, *questionText, *answerText};
}

} // namespace

std::optional<ResultRecord> ResultRecord::fromJson(const QByteArray &bytes, QString *reason)
{
    if (bytes.size() > MaxBytes)
        return refuse(reason, QStringLiteral("больше %1 КиБ").arg(MaxBytes / 1024));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refuse(reason, QStringLiteral("повреждена или не того вида"));
    const QJsonObject o = document.object();
    const auto field = [&o](const char *key) { return o.value(QLatin1String(key)); };
    const std::optional<ResultMode::Value> mode = ResultMode::fromKey(field("mode").toString());
    if (field("format").toInt() != Format || !mode)
        return refuse(reason, QStringLiteral("неизвестный формат или режим"));
    if (!field("steps").isArray())
        return refuse(reason, QStringLiteral("нет списка шагов"));
    const QJsonArray steps = field("steps").toArray();
    if (steps.size() > MaxSteps)
        return refuse(reason, QStringLiteral("больше %1 шагов").arg(MaxSteps));
    ResultRecord r;
    r.mode = *mode;
    QString *const texts[] = {&r.user, &r.name, &r.host, &r.topic, &r.grade, &r.lab.lab, &r.lab.operation};
    const char *const keys[] = {"user", "name", "host", "topic", "grade", "lab", "operation"};
    for (size_t k = 0; k < std::size(keys); ++k) {
        const std::optional<QString> text = textOf(field(keys[k]));
        if (!text)
            return refuse(
                reason,
                QStringLiteral("поле %1 не текст или длиннее %2 знаков").arg(QLatin1String(keys[k])).arg(MaxText));
        *texts[k] = *text;
    }
    if (r.user.isEmpty())
        return refuse(reason, QStringLiteral("нет учётной записи"));
    const std::optional<QString> id = textOf(field("id"));
    const std::optional<QString> digest = textOf(field("topicSha256"));
    const std::optional<QString> attempt = textOf(field("attempt"));
    if (!id || id->size() > 64 || !digest || digest->size() > 64 || !attempt || attempt->size() > 64)
        return refuse(reason, QStringLiteral("поле id, attempt или topicSha256 не того вида"));
    r.id = id->toLatin1();
    r.attempt = attempt->toLatin1();
    r.opening = field("state").toString() == QLatin1String("started");
    r.unfinished = field("state").toString() == QLatin1String("unfinished");
    r.topicSha256 = digest->toLatin1();
    r.started = QDateTime::fromString(field("started").toString(), Qt::ISODate);
    r.finished = QDateTime::fromString(field("finished").toString(), Qt::ISODate);
    if (!r.started.isValid() || !r.finished.isValid())
        return refuse(reason, QStringLiteral("нет времени начала или конца"));
    // A limit is at most a day; anything else in the field is no limit.
    const double limit = field("limitSeconds").toDouble();
    r.limitSeconds = limit >= 0 && limit <= 86400 ? qint64(limit) : 0;
    r.timedOut = field("timedOut").toBool();
    r.matches = field("matches").toInt();
    r.errors = field("errors").toInt();
    r.percent = field("percent").toDouble();
    if (r.mode == ResultMode::Lab) {
        r.lab.rows = field("rows").toInt();
        r.lab.columns = field("columns").toInt();
        r.lab.guesses = field("guesses").toInt();
        r.lab.guessedRight = field("guessedRight").toInt();
        r.lab.changes = field("changes").toInt();
    } else {
        r.lab = {};
    }
    for (qsizetype k = 0; k < steps.size(); ++k) {
        const std::optional<Step> step = stepOf(steps.at(k));
        if (!step)
            return refuse(reason, QStringLiteral("шаг %1 не того вида").arg(k + 1));
        r.steps.append(*step);
    }
    return r;
}
