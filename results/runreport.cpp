#include "runreport.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString escaped(const QString &text)
{
    QString broken;
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        // So that it never pushes a column off the page.
        if (run > RunReport::LongWord) {
            broken += QChar(RunReport::WordBreak);
            run = 1;
        }
        broken += c;
    }
    return broken.toHtmlEscaped();
}

QString question(const ResultRecord::Step &step)
{
    return step.questionText.isEmpty() ? QStringLiteral("№%1").arg(step.question + 1)
                                       : QStringLiteral("«%1»").arg(step.questionText);
}

QString answer(const ResultRecord::Step &step)
{
    return step.answerText.isEmpty() ? QStringLiteral("№%1").arg(step.answer + 1)
                                     : QStringLiteral("«%1»").arg(step.answerText);
}

// The columns' widths are the paper's to give (ReportPrinter), from what
// the cells hold.
QString row(const QStringList &cells, const char *tag = "td")
{
    QString html = QStringLiteral("<tr>");
    for (const QString &cell : cells)
        html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), escaped(cell));
    return html + QStringLiteral("</tr>");
}

} // namespace

QString RunReport::step(const ResultRecord &record, const ResultRecord::Step &s)
{
    QString text;
    if (record.mode == ResultMode::Test1) {
        text = QStringLiteral("Вопрос %1, показан ответ %2; ответ ученика «%3»").arg(question(s), answer(s), s.reply);
    } else {
        text = QStringLiteral("Вопрос %1, выбран ответ %2").arg(question(s), answer(s));
    }
    if (!s.counted)
        return text
            + (record.mode == ResultMode::Test1 ? QStringLiteral(": не засчитан (не 0 и не 1)")
                                                : QStringLiteral(": выбран повторно, не засчитан"));
    return text + (s.right ? QStringLiteral(": верно") : QStringLiteral(": неверно"));
}

QString RunReport::run(const ResultFolder::Entry &entry)
{
    const ResultRecord &r = entry.record;
    const QString pupil = r.name.isEmpty() ? r.user : QStringLiteral("%1 (%2)").arg(r.name, r.user);
    QString html = QStringLiteral("<h2>%1</h2><p>").arg(escaped(pupil));
    const auto line = [&html](const QString &label, const QString &value) {
        html += QStringLiteral("%1: %2<br>").arg(escaped(label), escaped(value));
    };
    line(QStringLiteral("Тема"), r.topic);
    line(QStringLiteral("Режим"), ResultMode::caption(r.mode));
    line(QStringLiteral("Компьютер"), r.host);
    line(QStringLiteral("Начало"), r.started.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    line(QStringLiteral("Конец"), r.finished.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
    const qint64 spent = r.started.secsTo(r.finished);
    line(QStringLiteral("Время"),
         QStringLiteral("%1 мин %2 с из %3 мин").arg(spent / 60).arg(spent % 60).arg(r.limitSeconds / 60));
    if (r.mode == ResultMode::Lab) {
        line(QStringLiteral("Операция"), QStringLiteral("%1, %2").arg(r.lab.lab, r.lab.operation));
        line(QStringLiteral("Массив"), QStringLiteral("%1 × %2").arg(r.lab.rows).arg(r.lab.columns));
        line(QStringLiteral("Угадано"), QStringLiteral("%1 из %2").arg(r.lab.guessedRight).arg(r.lab.guesses));
        if (r.lab.changes > 0)
            line(QStringLiteral("Изменений в работе"), QString::number(r.lab.changes));
    } else {
        line(QStringLiteral("Совпадения, ошибки"), QStringLiteral("%1, %2").arg(r.matches).arg(r.errors));
    }
    if (entry.attemptsThatDay > 1)
        line(QStringLiteral("Попыток в этот день в этом режиме"), QString::number(entry.attemptsThatDay));
    if (r.opening)
        line(QStringLiteral("Оценка"), QStringLiteral("нет: попытка не завершена"));
    else if (r.timedOut)
        line(QStringLiteral("Оценка"), QStringLiteral("нет: время вышло"));
    else
        line(QStringLiteral("Оценка"), QStringLiteral("%1 (%2 %)").arg(r.grade, ResultTable::percentText(r.percent)));
    if (!entry.attention.isEmpty())
        line(QStringLiteral("Внимание"), entry.attention);
    if (!entry.note.isEmpty())
        line(QStringLiteral("Заметка"), entry.note);
    html += QStringLiteral("</p><ol>");
    for (const ResultRecord::Step &s : r.steps)
        html += QStringLiteral("<li>%1</li>").arg(escaped(step(r, s)));
    return html + QStringLiteral("</ol>");
}

QString RunReport::tableTitle(const ResultTable &table, const QStringList &topics, const QString &folder)
{
    QDate first;
    QDate last;
    for (const ResultFolder::Entry &entry : table.shown()) {
        const QDate day = entry.record.finished.toLocalTime().date();
        first = first.isNull() || day < first ? day : first;
        last = last.isNull() || day > last ? day : last;
    }
    const QString format = QStringLiteral("dd.MM.yyyy");
    const QString days = first.isNull() ? QStringLiteral("записей нет")
        : first == last                 ? first.toString(format)
                                        : first.toString(format) + QStringLiteral("–") + last.toString(format);
    const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    return QStringLiteral("Результаты: %1; %2; папка «%3»")
        .arg(topics.isEmpty() ? QStringLiteral("все темы") : topics.join(QStringLiteral(", ")), days,
             name.isEmpty() ? folder : name);
}

QString RunReport::table(const ResultTable &table, const QString &title, const QStringList &topics,
                         const QHash<QString, QStringList> &questions, const QString &note)
{
    QString html = QStringLiteral("<h2>%1</h2>").arg(escaped(title));
    if (!note.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(escaped(note));
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">");
    html += row(ResultTable::Header, "th");
    for (const ResultFolder::Entry &entry : table.shown())
        html += row(ResultTable::row(entry));
    html += QStringLiteral("</table><h3>Оценки</h3><table cellpadding=\"2\">");
    const QMap<QString, int> counts = table.gradeCounts();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() == 0) {
            html += QStringLiteral("<tr><td>%1</td><td>0</td><td></td></tr>").arg(escaped(it.key()));
            continue;
        }
        // A bar of the grade's share, as the chart in the window draws it.
        html += QStringLiteral("<tr><td>%1</td><td>%2</td><td><table cellspacing=\"0\"><tr><td "
                               "bgcolor=\"#4060c0\" width=\"%3\"></td></tr></table></td></tr>")
                    .arg(escaped(it.key()))
                    .arg(it.value())
                    .arg(std::max<qsizetype>(
                        1, qsizetype(it.value()) * 300 / std::max<qsizetype>(1, table.shown().size())));
    }
    html += QStringLiteral("</table>");
    for (const QString &topic : topics) {
        const QVector<ResultTable::Miss> misses = table.misses(topic);
        if (misses.isEmpty())
            continue;
        html += QStringLiteral("<h3>Чаще всего ошибались в вопросах: %1</h3><p>").arg(escaped(topic));
        for (const ResultTable::Miss &miss : misses.mid(0, MissesOnPaper))
            html += escaped(missLine(miss, questions.value(topic))) + QStringLiteral("<br>");
        if (misses.size() > MissesOnPaper)
            html += QStringLiteral("… и ещё %1").arg(misses.size() - MissesOnPaper);
        html += QStringLiteral("</p>");
    }
    return html;
}

QString RunReport::missLine(const ResultTable::Miss &miss, const QStringList &questions)
{
    const QString text = miss.text.isEmpty() ? questions.value(miss.question) : miss.text;
    const int number = miss.question + 1;
    return text.isEmpty() ? QStringLiteral("%1 — вопрос %2").arg(miss.pupils).arg(number)
                          : QStringLiteral("%1 — %2. %3").arg(miss.pupils).arg(number).arg(text);
}

QString RunReport::lesson(const QVector<LessonTable::Pupil> &pupils, const QVector<LessonTable::Working> &working,
                          const QString &title)
{
    QString html = QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">")
                       .arg(escaped(title));
    html += row(LessonTable::Header, "th");
    for (const LessonTable::Pupil &pupil : pupils)
        html += row(LessonTable::row(pupil));
    html += QStringLiteral("</table>");
    if (working.isEmpty())
        return html;
    html += QStringLiteral("<h3>Сейчас работают</h3><p>");
    for (const LessonTable::Working &w : working)
        html += escaped(w.text) + QStringLiteral("<br>");
    return html + QStringLiteral("</p>");
}
