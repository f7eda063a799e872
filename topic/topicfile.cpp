#include "topicfile.h"

#include "core/sequentialfile.h"
#include "core/textdecoder.h"
#include "storage/fileentry.h"
#include "storage/systemerror.h"
#include "topiccatalog.h"
#include "topicversions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

const QString TopicFile::QuestionsName = QStringLiteral("test.txt");
const QString TopicFile::AnswersName = QStringLiteral("test1.txt");

namespace {

const QString kQuestions = QStringLiteral("вопросов");
const QString kAnswers = QStringLiteral("ответов");

// One topic file as the editor finds it: its bytes (one past the reader's
// limit tells that the tail would not be read), and what the teacher should
// know about what stands there.
struct Source
{
    std::optional<QByteArray> bytes;
    QString problem;
    bool missing = false;
};

Source readSource(const QString &path, const QString &name, const QString &what)
{
    const FileEntry entry = FileEntry::at(path);
    const qint64 limit = SequentialFile::MaxBytes;
    Source source;
    int error = 0;
    switch (entry.kind()) {
    case FileEntry::Kind::Missing:
        source.missing = true;
        return source;
    case FileEntry::Kind::File:
        source.bytes = FileEntry::read(path, limit, false, &error);
        break;
    case FileEntry::Kind::Link:
        if (!entry.linksToFile()) {
            source.problem = QStringLiteral("Файл %1 %2 — символическая ссылка на %3, которая не ведёт к файлу.")
                                 .arg(what, name, entry.linkTarget());
            return source;
        }
        source.bytes = FileEntry::read(path, limit, true, &error);
        source.problem = QStringLiteral("Файл %1 %2 — символическая ссылка на %3. Редактор не сохраняет через "
                                        "ссылки: сохраните тему в другую папку или замените ссылку файлом.")
                             .arg(what, name, entry.linkTarget());
        break;
    default:
        source.problem = QStringLiteral("Вместо файла %1 %2 стоит %3; он не прочитан.").arg(what, name, entry.what());
        return source;
    }
    if (!source.bytes)
        source.problem = QStringLiteral("Файл %1 %2 не прочитан: %3.").arg(what, name, SystemError::text(error));
    return source;
}

} // namespace

QString TopicFile::trainerFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tesmora"));
}

TopicFile::TrainerColumn TopicFile::readForTrainer(const QString &path, const QString &what)
{
    TrainerColumn column;
    SequentialFile file;
    switch (file.open(path)) {
    case SequentialFile::Status::Missing:
        column.problem = QStringLiteral("Не найден файл %1: %2").arg(what, path);
        return column;
    case SequentialFile::Status::NotAFile:
        column.problem = QStringLiteral("Вместо файла %1 стоит папка: %2").arg(what, path);
        return column;
    case SequentialFile::Status::Unreadable:
        column.problem = QStringLiteral("Не удалось прочитать файл %1: %2").arg(what, path);
        return column;
    case SequentialFile::Status::Open:
    case SequentialFile::Status::Closed:
        break;
    }
    column.opened = true;
    const Column read = readColumn(file, file.truncated());
    column.entries = read.entries;
    if (read.more)
        column.problem
            = QStringLiteral("В файле %1 больше %2 записи, лишние не загружены: %3").arg(what).arg(MaxPairs).arg(path);
    return column;
}

TopicFile::Column TopicFile::readColumn(SequentialFile &file, bool truncated)
{
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
        SequentialFile file;
        file.openBytes(kept);
        return readColumn(file, truncated);
    };
    const Column q = column(questions);
    const Column a = column(answers);
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
    const Source q = readSource(dir.filePath(QuestionsName), QuestionsName, kQuestions);
    const Source a = readSource(dir.filePath(AnswersName), AnswersName, kAnswers);
    Loaded loaded = parse(q.bytes, a.bytes);
    QStringList first;
    if (q.missing && !a.missing)
        first << QStringLiteral("Нет файла вопросов %1.").arg(QuestionsName);
    if (a.missing && !q.missing)
        first << QStringLiteral("Нет файла ответов %1.").arg(AnswersName);
    for (const Source *source : {&q, &a}) {
        if (!source->problem.isEmpty())
            first << source->problem;
    }
    loaded.messages = first + loaded.messages;
    return loaded;
}

QByteArray TopicFile::stamp(const QString &folder)
{
    const QDir dir(folder);
    return FileEntry::stamp(dir.filePath(QuestionsName)) + '\n' + FileEntry::stamp(dir.filePath(AnswersName));
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
                           + QStringLiteral("двойная кавычка (\") внутри записи: тренажёр её не прочтёт. "
                                            "Замените её на «ёлочки» или одинарную кавычку.")};
    if (entry.size() > SequentialFile::MaxFieldLength)
        return Refusal{row,
                       where
                           + QStringLiteral("запись длиннее %1 знаков; тренажёр прочтёт только первые %1.")
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
                       QStringLiteral("Пар больше %1: тренажёр читает только строки 0–%2. "
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
                           QStringLiteral("Строка %1: в кодировке Windows-1251 тренажёр прочёл бы эту пару "
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

TopicSave::Result TopicFile::save(const QString &folder, const QVector<TopicPair> &pairs, Encoding encoding)
{
    if (const auto refusal = check(pairs, encoding))
        return {false, refusal->message};
    const auto [questions, answers] = cleanColumns(pairs);
    // The pair replaced and the new one are listed as versions of the topic,
    // so that results earned on either are known as honest.
    const bool hadFiles = QFileInfo::exists(folder + QLatin1Char('/') + QuestionsName);
    const QByteArray before = hadFiles ? TopicCatalog::digest(folder) : QByteArray();
    TopicSave::Result result = TopicSave::replace(
        folder, {{QuestionsName, encode(questions, encoding)}, {AnswersName, encode(answers, encoding)}});
    if (!result.saved)
        return result;
    QList<QByteArray> versions;
    if (hadFiles)
        versions << before;
    versions << TopicCatalog::digest(folder);
    if (const QString why = TopicVersions::add(folder, versions); !why.isEmpty()) {
        if (!result.message.isEmpty())
            result.message += QLatin1Char('\n');
        result.message += QStringLiteral("Тема сохранена, но список её версий не обновлён: %1").arg(why);
    }
    return result;
}
