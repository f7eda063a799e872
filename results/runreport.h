#pragma once

#include "lessontable.h"
#include "resultfolder.h"
#include "resulttable.h"

#include <QString>
#include <QStringList>

// The teacher's reports as HTML for a text document, to show and to print:
// one pupil's run with every step, and the table shown with its grades and
// the questions most missed.
class RunReport
{
public:
    // Put into a word too long for any column (a name typed without
    // blanks): a break with no mark of its own, every LongWord letters.
    static constexpr char16_t WordBreak = 0x200B;
    static constexpr int LongWord = 24;

    // One run: who, when, the figures, the flags, and each step as the
    // pupil saw it.
    static QString run(const ResultFolder::Entry &entry);
    // One step in words: "Вопрос …; выбран ответ …: верно".
    static QString step(const ResultRecord &record, const ResultRecord::Step &step);
    // The rows shown, the count of each grade and, for each of the topics,
    // the questions most missed (their texts from questions, by topic, where
    // the records kept none).
    // The lesson view: a row per pupil, then who works now or stopped.
    static QString lesson(const QVector<LessonTable::Pupil> &pupils, const QVector<LessonTable::Working> &working,
                          const QString &title);
    // A question most missed in a line: "3 — 5. Текст вопроса", numbered
    // from 1 as the trainer's report counts them.
    static QString missLine(const ResultTable::Miss &miss, const QStringList &questions);
    // note is said once under the title (that owners cannot be checked).
    // Paper lists the MissesOnPaper questions most missed per topic.
    static constexpr int MissesOnPaper = 30;
    // "Результаты: Физика; 08.12.2026–09.12.2026; папка «results»": the
    // topics, the days of the rows shown and the folder's own name.
    static QString tableTitle(const ResultTable &table, const QStringList &topics, const QString &folder);
    static QString table(const ResultTable &table, const QString &title, const QStringList &topics,
                         const QHash<QString, QStringList> &questions, const QString &note = QString());
};
