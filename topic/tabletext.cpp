#include "tabletext.h"

#include "core/textdecoder.h"

#include <algorithm>

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r';
}

// Past the line break at k; \r\n is one.
int afterLineBreak(const QString &text, int k)
{
    return text[k] == u'\r' && k + 1 < text.size() && text[k + 1] == u'\n' ? k + 2 : k + 1;
}

// One field from k on, k left at the delimiter or line break that ends it.
QString readField(const QString &text, QChar delimiter, int &k)
{
    QString field;
    if (k < text.size() && text[k] == u'"') {
        for (++k; k < text.size(); ++k) {
            if (text[k] != u'"')
                field += text[k];
            else if (k + 1 < text.size() && text[k + 1] == u'"')
                field += text[++k];
            else
                break;
        }
        ++k;
    }
    // Unquoted text, and whatever follows a closing quote, is kept as spreadsheets keep it.
    for (; k < text.size() && text[k] != delimiter && !isLineBreak(text[k]); ++k)
        field += text[k];
    return field;
}

bool isEmptyRow(const QStringList &row)
{
    return row.size() == 1 && row.first().isEmpty();
}

} // namespace

QVector<QStringList> TableText::rows(const QString &text, QChar delimiter)
{
    QVector<QStringList> rows;
    QStringList row;
    int k = 0;
    while (k < text.size()) {
        row.append(readField(text, delimiter, k));
        if (k < text.size() && text[k] == delimiter) {
            if (++k == text.size())
                row.append(QString());
            continue;
        }
        rows.append(row);
        row.clear();
        if (k < text.size())
            k = afterLineBreak(text, k);
    }
    if (!row.isEmpty())
        rows.append(row);
    // Empty rows inside stay, so that row numbers are the spreadsheet's own.
    while (!rows.isEmpty() && isEmptyRow(rows.last()))
        rows.removeLast();
    return rows;
}

QChar TableText::guessDelimiter(const QString &text)
{
    bool quoted = false;
    bool seen = false;
    bool semicolon = false;
    for (QChar c : text) {
        if (!quoted && isLineBreak(c)) {
            if (seen)
                break;
            continue;
        }
        if (!c.isSpace())
            seen = true;
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'\t')
            return u'\t';
        else if (!quoted && c == u';')
            semicolon = true;
    }
    return semicolon ? u';' : u',';
}

bool TableText::looksLikeRows(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && isLineBreak(text[end - 1]))
        --end;
    return std::any_of(text.begin(), text.begin() + end, isLineBreak);
}

namespace {

// A first row that names the columns rather than holds a pair.
bool isHeader(const QString &question, const QString &answer)
{
    static const QStringList questions = {QStringLiteral("вопрос"), QStringLiteral("вопросы"),
                                          QStringLiteral("question"), QStringLiteral("questions")};
    static const QStringList answers
        = {QStringLiteral("ответ"), QStringLiteral("ответы"), QStringLiteral("answer"), QStringLiteral("answers")};
    return questions.contains(question.toLower()) && answers.contains(answer.toLower());
}

} // namespace

ImportedPairs TableText::pairs(const QVector<QStringList> &rows)
{
    ImportedPairs result;
    QStringList wider;
    for (int k = 0; k < rows.size(); ++k) {
        const QStringList &row = rows[k];
        const QString number = QString::number(k + 1);
        const QString question = row.value(0).trimmed();
        const QString answer = row.value(1).trimmed();
        const bool more = std::any_of(row.begin() + std::min<qsizetype>(2, row.size()), row.end(),
                                      [](const QString &cell) { return !cell.trimmed().isEmpty(); });
        if (k == 0 && isHeader(question, answer)) {
            result.changed.append(
                QStringLiteral("Строка 1 — заголовки столбцов «%1» и «%2»: не взята").arg(question, answer));
        } else if (question.isEmpty() && answer.isEmpty()) {
            if (more)
                result.skipped.append(QStringLiteral("Строка %1: нет ни вопроса, ни ответа").arg(number));
        } else if (question.isEmpty() || answer.isEmpty()) {
            const QString missing = question.isEmpty() ? QStringLiteral("вопроса") : QStringLiteral("ответа");
            result.skipped.append(QStringLiteral("Строка %1: нет %2").arg(number, missing));
        } else {
            if (more)
                wider.append(number);
            result.pairs.append({question, answer});
        }
    }
    // A third column (a comment, a mark) usually runs down the whole table: one line for all its rows.
    if (!wider.isEmpty()) {
        const QString rowWord = wider.size() == 1 ? QStringLiteral("Строка") : QStringLiteral("Строки");
        result.changed.append(
            QStringLiteral("%1 %2: лишние столбцы не взяты").arg(rowWord, wider.join(QStringLiteral(", "))));
    }
    return result;
}

std::optional<QString> TableText::decodeFile(const QByteArray &bytes, QString *error)
{
    const QString text = TextDecoder::decode(bytes);
    if (text.contains(QChar(0))) {
        if (error)
            *error = QStringLiteral("Файл не текстовый: сохраните таблицу как CSV или как текст с табуляцией");
        return std::nullopt;
    }
    return text;
}
