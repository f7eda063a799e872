#include "topicfile.h"

#include "sequentialfile.h"
#include "textdecoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

const QString TopicFile::QuestionsName = QStringLiteral("test.txt");
const QString TopicFile::AnswersName = QStringLiteral("test1.txt");

namespace {

const QString kQuestions = QStringLiteral("вопросов");
const QString kAnswers = QStringLiteral("ответов");

std::optional<QByteArray> readBytes(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // One byte past the reader's limit tells that the tail would not be read.
    return file.read(SequentialFile::MaxBytes + 1);
}

// Writes the bytes to the path atomically; false when it could not.
bool writeWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

TopicFile::Column TopicFile::readColumn(const QByteArray &bytes, bool truncated)
{
    // The trainer's own reader and decoder, with its limit of 31 entries.
    SequentialFile file;
    file.openBytes(bytes);
    Column column;
    while (!file.atEnd() && column.entries.size() < MaxPairs) {
        column.entries << file.readField();
        column.lines << file.fieldLine();
        if (file.fieldCut())
            column.cut << int(column.entries.size()) - 1;
    }
    column.more = !file.atEnd() || truncated;
    return column;
}

void TopicFile::describe(const Column &column, const QString &what, Loaded &loaded)
{
    for (int row : column.cut) {
        loaded.messages << QStringLiteral("Файл %1: запись в строке таблицы %2 длиннее %3 знаков и обрезана.")
                               .arg(what)
                               .arg(row)
                               .arg(SequentialFile::MaxFieldLength);
        loaded.markedRows.insert(row);
    }
    // Entries that began on one line of the file were split by a comma
    // outside quotes.
    for (int first = 0; first < column.entries.size();) {
        int last = first;
        while (last + 1 < column.entries.size() && column.lines[last + 1] == column.lines[first])
            ++last;
        if (last > first) {
            loaded.messages << QStringLiteral("Файл %1, строка %2 файла: запятая без кавычек разделила её "
                                              "на строки таблицы %3–%4; все следующие пары сдвинуты.")
                                   .arg(what)
                                   .arg(column.lines[first] + 1)
                                   .arg(first)
                                   .arg(last);
            for (int row = first; row <= last; ++row)
                loaded.markedRows.insert(row);
        }
        first = last + 1;
    }
    if (column.more)
        loaded.messages << QStringLiteral("В файле %1 больше %2 записи, лишние не загружены.").arg(what).arg(MaxPairs);
}

TopicFile::Loaded TopicFile::parse(const std::optional<QByteArray> &questions, const std::optional<QByteArray> &answers)
{
    Loaded loaded;
    auto column = [](const std::optional<QByteArray> &bytes) {
        if (!bytes)
            return Column{};
        QByteArray kept = *bytes;
        const bool truncated = SequentialFile::cutToLimit(kept, SequentialFile::MaxBytes);
        return readColumn(kept, truncated);
    };
    const Column q = column(questions);
    const Column a = column(answers);
    if (!questions && answers)
        loaded.messages << QStringLiteral("Нет файла вопросов %1.").arg(QuestionsName);
    if (questions && !answers)
        loaded.messages << QStringLiteral("Нет файла ответов %1.").arg(AnswersName);
    describe(q, kQuestions, loaded);
    describe(a, kAnswers, loaded);
    const int rows = int(qMax(q.entries.size(), a.entries.size()));
    if (questions && answers && q.entries.size() != a.entries.size()) {
        loaded.messages << QStringLiteral("Вопросов: %1, ответов: %2 — числа не совпадают; строки без пары отмечены.")
                               .arg(q.entries.size())
                               .arg(a.entries.size());
        for (int row = int(qMin(q.entries.size(), a.entries.size())); row < rows; ++row)
            loaded.markedRows.insert(row);
    }
    for (int row = 0; row < rows; ++row)
        loaded.pairs.append({q.entries.value(row), a.entries.value(row)});
    for (const auto &bytes : {questions, answers}) {
        TextDecoder::Encoding detected = TextDecoder::Encoding::Windows1251;
        const QString text = bytes ? TextDecoder::decode(*bytes, &detected) : QString();
        const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (detected != TextDecoder::Encoding::Windows1251 && !ascii)
            loaded.encoding = Encoding::Utf8;
    }
    return loaded;
}

TopicFile::Loaded TopicFile::read(const QString &folder)
{
    const QDir dir(folder);
    return parse(readBytes(dir.filePath(QuestionsName)), readBytes(dir.filePath(AnswersName)));
}

QString TopicFile::clean(const QString &entry)
{
    int first = 0;
    int last = int(entry.size());
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (first < last && blank(entry[first]))
        ++first;
    while (last > first && blank(entry[last - 1]))
        --last;
    return entry.mid(first, last - first);
}

std::optional<TopicFile::Refusal> TopicFile::checkEntry(const QString &entry, int row, const QString &what,
                                                        Encoding encoding)
{
    const QString where = QStringLiteral("Строка %1, %2: ").arg(row).arg(what);
    if (entry.contains(QLatin1Char('\n')) || entry.contains(QLatin1Char('\r')))
        return Refusal{row, where + QStringLiteral("перенос строки внутри записи. Запись должна быть одной строкой.")};
    if (entry.contains(QLatin1Char('"')))
        return Refusal{row,
                       where
                           + QStringLiteral("двойная кавычка (\") внутри записи: трейнер её не прочтёт. "
                                            "Замените её на «ёлочки» или одинарную кавычку.")};
    if (entry.size() > SequentialFile::MaxFieldLength)
        return Refusal{row,
                       where
                           + QStringLiteral("запись длиннее %1 знаков; трейнер прочтёт только первые %1.")
                                 .arg(SequentialFile::MaxFieldLength)};
    if (encoding == Encoding::Windows1251) {
        const int at = TextDecoder::firstNotInWindows1251(entry);
        if (at >= 0)
            return Refusal{row,
                           where
                               + QStringLiteral("знак «%1» нельзя записать в кодировке Windows-1251. "
                                                "Сохраните тему в UTF-8.")
                                     .arg(entry.mid(at, entry[at].isHighSurrogate() ? 2 : 1)),
                           true};
    }
    return std::nullopt;
}

std::optional<TopicFile::Refusal> TopicFile::check(const QVector<TopicPair> &pairs, Encoding encoding)
{
    if (pairs.size() > MaxPairs)
        return Refusal{MaxPairs,
                       QStringLiteral("Пар больше %1: трейнер читает только строки 0–%2. "
                                      "Удалите строки начиная с %1.")
                           .arg(MaxPairs)
                           .arg(MaxPairs - 1)};
    for (int row = 0; row < pairs.size(); ++row) {
        for (const auto &[entry, what] : {std::pair{pairs[row].question, QStringLiteral("вопрос")},
                                          std::pair{pairs[row].answer, QStringLiteral("ответ")}}) {
            if (auto refusal = checkEntry(clean(entry), row, what, encoding))
                return refusal;
        }
    }
    // Whatever passed must come back exactly as shown; a Windows-1251 file
    // whose bytes happen to be valid UTF-8 would not.
    const auto [questions, answers] = cleanColumns(pairs);
    const Loaded back = parse(encode(questions, encoding), encode(answers, encoding));
    for (int row = 0; row < pairs.size(); ++row) {
        if (!(back.pairs.value(row) == TopicPair{questions[row], answers[row]}))
            return Refusal{row,
                           QStringLiteral("Строка %1: в кодировке Windows-1251 трейнер прочёл бы эту пару "
                                          "иначе. Сохраните тему в UTF-8.")
                               .arg(row),
                           true};
    }
    return std::nullopt;
}

std::pair<QStringList, QStringList> TopicFile::cleanColumns(const QVector<TopicPair> &pairs)
{
    QStringList questions, answers;
    for (const TopicPair &pair : pairs) {
        questions << clean(pair.question);
        answers << clean(pair.answer);
    }
    return {questions, answers};
}

QByteArray TopicFile::encode(const QStringList &entries, Encoding encoding)
{
    QString text;
    for (const QString &entry : entries) {
        // A comma would end the entry early; in quotes it is kept.
        if (entry.contains(QLatin1Char(',')))
            text += QLatin1Char('"') + entry + QLatin1Char('"');
        else
            text += entry;
        text += QStringLiteral("\r\n");
    }
    if (encoding == Encoding::Windows1251)
        return TextDecoder::toWindows1251(text);
    // With a byte-order mark, so that editors on Windows read it as UTF-8 too.
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

std::optional<QString> TopicFile::save(const QString &folder, const QVector<TopicPair> &pairs, Encoding encoding,
                                       int failStep)
{
    if (const auto refusal = check(pairs, encoding))
        return refusal->message;
    const auto [questions, answers] = cleanColumns(pairs);
    const QDir dir(folder);
    const QString questionsPath = dir.filePath(QuestionsName);
    const QString answersPath = dir.filePath(AnswersName);
    const std::optional<QByteArray> oldQuestions = readBytes(questionsPath);
    const std::optional<QByteArray> oldAnswers = readBytes(answersPath);
    if ((QFileInfo::exists(questionsPath) && !oldQuestions) || (QFileInfo::exists(answersPath) && !oldAnswers))
        return QStringLiteral("Не удалось прочитать прежние файлы темы в папке %1.").arg(folder);

    const QString failed = QStringLiteral("Не удалось записать %1 в папку %2. Прежние файлы не изменены.");
    // 1. The old pair as .bak files, each written whole or not at all.
    if (failStep == 1 || (oldQuestions && !writeWhole(questionsPath + QStringLiteral(".bak"), *oldQuestions))
        || (oldAnswers && !writeWhole(answersPath + QStringLiteral(".bak"), *oldAnswers)))
        return failed.arg(QStringLiteral("резервные копии"), folder);
    // 2. The questions, renamed into place only once complete.
    if (failStep == 2 || !writeWhole(questionsPath, encode(questions, encoding)))
        return failed.arg(QuestionsName, folder);
    // 3. The answers; should they fail, the old questions go back.
    if (failStep == 3 || !writeWhole(answersPath, encode(answers, encoding))) {
        const bool restored = oldQuestions ? writeWhole(questionsPath, *oldQuestions) : QFile::remove(questionsPath);
        if (!restored)
            return QStringLiteral("Не удалось записать %1, и прежний %2 не вернулся на место: "
                                  "он сохранён как %2.bak в папке %3.")
                .arg(AnswersName, QuestionsName, folder);
        return failed.arg(AnswersName, folder);
    }
    return std::nullopt;
}
