#include "giftformat.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const QString MatchingText = QStringLiteral("Сопоставьте вопросы и ответы");
const QString NoFullAnswer = QStringLiteral("нет ответа, верного на 100%");
constexpr int MinMatching = 3; // Moodle refuses a matching question with fewer
constexpr int MaxMatching = 10;

// Where what starts at or after from, not counting what a backslash escapes; -1 when nowhere.
int findUnescaped(const QString &text, QStringView what, int from = 0)
{
    for (int k = from; k < text.size(); ++k) {
        if (text[k] == u'\\')
            ++k;
        else if (QStringView(text).mid(k).startsWith(what))
            return k;
    }
    return -1;
}

QString withoutFeedback(const QString &raw)
{
    const int hash = findUnescaped(raw, u"#");
    return hash < 0 ? raw : raw.left(hash);
}

QString unescaped(const QString &raw)
{
    static const QString escapable = QStringLiteral("=~#{}:\\");
    QString text;
    for (int k = 0; k < raw.size(); ++k) {
        const QChar next = k + 1 < raw.size() ? raw[k + 1] : QChar();
        if (raw[k] == u'\\' && (next == u'n' || escapable.contains(next))) {
            text += next == u'n' ? QChar(u'\n') : next;
            ++k;
        } else {
            text += raw[k];
        }
    }
    return text;
}

const QRegularExpression &formatMarker()
{
    static const QRegularExpression marker(QStringLiteral("^\\s*\\[(html|moodle|markdown|plain)\\]"),
                                           QRegularExpression::CaseInsensitiveOption);
    return marker;
}

// HTML as the words it shows: tags out, the common entities back.
QString htmlAsText(QString text)
{
    static const QRegularExpression parting(QStringLiteral("<(br|/?p|/?div|/?li)\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    text.replace(parting, QStringLiteral(" "));
    text.remove(tag);
    static const std::pair<const char *, const char *> entities[]
        = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}, {"&amp;", "&"}};
    for (const auto &[entity, character] : entities)
        text.replace(QLatin1String(entity), QLatin1String(character));
    return text.simplified();
}

// A piece of a question as a pair holds it: one line, without format marker and escapes.
QString cleaned(const QString &raw)
{
    QString text = raw;
    bool html = false;
    const QRegularExpressionMatch marker = formatMarker().match(text);
    if (marker.hasMatch()) {
        html = marker.captured(1).compare(QLatin1String("html"), Qt::CaseInsensitive) == 0;
        text.remove(0, marker.capturedLength());
    }
    text = unescaped(text);
    if (html)
        return htmlAsText(text);
    static const QRegularExpression lineBreak(QStringLiteral("[ \\t]*[\\r\\n][\\r\\n \\t]*"));
    return text.replace(lineBreak, QStringLiteral(" ")).trimmed();
}

struct Answer
{
    bool right = false; // = rather than ~
    std::optional<double> weight;
    QString raw; // after the weight: escapes and feedback still in it

    bool full() const { return weight ? *weight >= 100 : right; }
    bool counts() const { return weight ? *weight > 0 : right; }
};

Answer answerFrom(QChar mark, QString raw)
{
    static const QRegularExpression weight(QStringLiteral("^\\s*%(-?\\d+(?:[.,]\\d+)?)%"));
    Answer answer;
    answer.right = mark == u'=';
    const QRegularExpressionMatch match = weight.match(raw);
    if (match.hasMatch()) {
        answer.weight = match.captured(1).replace(u',', u'.').toDouble();
        raw.remove(0, match.capturedLength());
    }
    answer.raw = raw;
    return answer;
}

// The answers of a block, each from its = or ~ to the next; head is what stands before the first.
QVector<Answer> splitAnswers(const QString &block, QString *head)
{
    QVector<Answer> answers;
    int start = -1;
    auto close = [&](int end) {
        if (start < 0)
            *head = block.left(end);
        else
            answers.append(answerFrom(block[start], block.mid(start + 1, end - start - 1)));
    };
    for (int k = 0; k < block.size(); ++k) {
        if (block[k] == u'\\') {
            ++k;
        } else if (block[k] == u'=' || block[k] == u'~') {
            close(k);
            start = k;
        }
    }
    close(block.size());
    return answers;
}

// What one question gives: its pairs, and why any of it was left out.
struct Outcome
{
    QVector<TopicPair> pairs;
    QStringList reasons;

    void give(const QString &question, const QString &answer)
    {
        if (question.isEmpty())
            reasons.append(QStringLiteral("нет текста вопроса"));
        else if (answer.isEmpty())
            reasons.append(QStringLiteral("пустой ответ"));
        else
            pairs.append({question, answer});
    }
};

void readNumber(const QString &question, const QString &body, Outcome &out)
{
    QString raw = body;
    if (findUnescaped(body, u"=") >= 0) {
        QString head;
        const QVector<Answer> answers = splitAnswers(body, &head);
        const auto full = std::find_if(answers.begin(), answers.end(), [](const Answer &a) { return a.full(); });
        if (full == answers.end()) {
            out.reasons.append(NoFullAnswer);
            return;
        }
        raw = full->raw;
    }
    raw = withoutFeedback(raw);
    // The tolerance says how far off a typed number may be; the pair keeps the number. A range 1..5 stays.
    const int colon = findUnescaped(raw, u":");
    if (colon >= 0)
        raw.truncate(colon);
    out.give(question, cleaned(raw));
}

std::optional<QString> trueFalse(const QString &block)
{
    const QString word = withoutFeedback(block).trimmed().toUpper();
    if (word == QLatin1String("T") || word == QLatin1String("TRUE"))
        return QStringLiteral("Да");
    if (word == QLatin1String("F") || word == QLatin1String("FALSE"))
        return QStringLiteral("Нет");
    return std::nullopt;
}

// A single "=a -> b" is a short answer that happens to hold an arrow.
bool isMatching(const QVector<Answer> &answers)
{
    return answers.size() > 1 && std::all_of(answers.begin(), answers.end(), [](const Answer &a) {
               return a.right && findUnescaped(a.raw, u"->") >= 0;
           });
}

void readMatching(const QVector<Answer> &answers, Outcome &out)
{
    for (const Answer &answer : answers) {
        const QString raw = withoutFeedback(answer.raw);
        const int arrow = findUnescaped(raw, u"->");
        const QString left = cleaned(raw.left(arrow));
        const QString right = cleaned(raw.mid(arrow + 2));
        if (left.isEmpty())
            out.reasons.append(QStringLiteral("ответ «%1» без вопроса не взят").arg(right));
        else if (right.isEmpty())
            out.reasons.append(QStringLiteral("вопрос «%1» без ответа не взят").arg(left));
        else
            out.pairs.append({left, right});
    }
}

// Short answer (= only): the first fully right answer. Multiple choice (with ~): its one right answer.
void readChoice(const QString &question, const QVector<Answer> &answers, Outcome &out)
{
    QVector<Answer> full;
    std::copy_if(answers.begin(), answers.end(), std::back_inserter(full), [](const Answer &a) { return a.full(); });
    const bool choice = std::any_of(answers.begin(), answers.end(), [](const Answer &a) { return !a.right; });
    const auto counting = std::count_if(answers.begin(), answers.end(), [](const Answer &a) { return a.counts(); });
    if (!full.isEmpty() && (!choice || full.size() == 1))
        out.give(question, cleaned(withoutFeedback(full.first().raw)));
    else if (choice && (full.size() > 1 || counting > 1))
        out.reasons.append(QStringLiteral("несколько верных ответов"));
    else
        out.reasons.append(NoFullAnswer);
}

void readAnswers(const QString &question, QString block, Outcome &out)
{
    block = block.trimmed();
    // General feedback closes the block; a number's block opens with a # of its own.
    const bool number = block.startsWith(u'#') && !block.startsWith(u"####");
    const int general = findUnescaped(block, u"####", number ? 1 : 0);
    if (general >= 0)
        block = block.left(general).trimmed();
    QString head;
    const QVector<Answer> answers = splitAnswers(block, &head);
    if (block.isEmpty())
        out.reasons.append(QStringLiteral("эссе, нет ответа"));
    else if (number)
        readNumber(question, block.mid(1), out);
    else if (const std::optional<QString> truth = trueFalse(block))
        out.give(question, *truth);
    else if (answers.isEmpty() || !head.trimmed().isEmpty())
        out.reasons.append(QStringLiteral("ответы не разобраны"));
    else if (isMatching(answers))
        readMatching(answers, out);
    else
        readChoice(question, answers, out);
}

// How a skipped line names the question: by its name, or by its first words.
QString label(const QString &name, const QString &question, int number)
{
    if (!name.isEmpty())
        return QStringLiteral("«%1»").arg(name);
    const QStringList words = question.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("Вопрос %1").arg(number);
    const QString start = words.mid(0, 6).join(u' ');
    return QStringLiteral("«%1»").arg(words.size() > 6 ? start + u'…' : start);
}

void readQuestion(const QString &block, int number, ImportedPairs &result)
{
    QString rest = block.trimmed();
    QString name;
    const int nameEnd = rest.startsWith(u"::") ? findUnescaped(rest, u"::", 2) : -1;
    if (nameEnd >= 0) {
        name = cleaned(rest.mid(2, nameEnd - 2));
        rest = rest.mid(nameEnd + 2);
    }
    const int open = findUnescaped(rest, u"{");
    const int close = open < 0 ? -1 : findUnescaped(rest, u"}", open + 1);
    Outcome out;
    QString question;
    if (open < 0) {
        question = cleaned(rest);
        out.reasons.append(QStringLiteral("описание, нет ответа"));
    } else if (close < 0) {
        question = cleaned(rest.left(open));
        out.reasons.append(QStringLiteral("нет закрывающей скобки «}»"));
    } else {
        const QString after = rest.mid(close + 1);
        // Answers in the middle of the text stand for a blank the pupil fills.
        question
            = cleaned(after.trimmed().isEmpty() ? rest.left(open) : rest.left(open) + QStringLiteral("_____") + after);
        readAnswers(question, rest.mid(open + 1, close - open - 1), out);
    }
    result.pairs += out.pairs;
    for (const QString &reason : std::as_const(out.reasons))
        result.skipped.append(QStringLiteral("%1: %2").arg(label(name, question, number), reason));
}

// Questions are parted by blank lines; comments and categories give none.
QStringList questionBlocks(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
    QStringList blocks;
    QStringList lines;
    for (const QString &line : text.split(lineBreak)) {
        const QString bare = line.trimmed();
        if (bare.startsWith(u"//") || bare.startsWith(u"$CATEGORY:", Qt::CaseInsensitive))
            continue;
        if (!bare.isEmpty()) {
            lines.append(line);
        } else if (!lines.isEmpty()) {
            blocks.append(lines.join(u'\n'));
            lines.clear();
        }
    }
    if (!lines.isEmpty())
        blocks.append(lines.join(u'\n'));
    return blocks;
}

void dropRepeats(ImportedPairs &result)
{
    QSet<QString> seen;
    QVector<TopicPair> kept;
    for (const TopicPair &pair : std::as_const(result.pairs)) {
        const QString key = pair.question + QChar(0) + pair.answer;
        if (!seen.contains(key)) {
            seen.insert(key);
            kept.append(pair);
        }
    }
    if (kept.size() < result.pairs.size())
        result.skipped.append(QStringLiteral("Повторяющихся пар не взято: %1").arg(result.pairs.size() - kept.size()));
    result.pairs = kept;
}

QString escaped(const QString &text)
{
    static const QString special = QStringLiteral("~=#{}:\\");
    QString out;
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    for (QChar c : std::as_const(plain)) {
        if (c == u'\n' || c == u'\r') {
            out += QLatin1String("\\n");
            continue;
        }
        if (special.contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}

// Text as GIFT holds it; a leading "[html]" of the pair's own is kept as text behind a marker of ours.
QString giftText(const QString &text)
{
    const QString written = escaped(text);
    return formatMarker().match(written).hasMatch() ? QStringLiteral("[moodle]") + written : written;
}

// Text right after "=": a leading "%50%" of the pair's own must not be read as a weight.
QString giftAnswer(const QString &text)
{
    const QString written = giftText(text);
    return written.trimmed().startsWith(u'%') ? QStringLiteral("%100%") + written : written;
}

bool matchable(const TopicPair &pair)
{
    // GIFT has no escape for "-", so an arrow of the pair's own would part it.
    return !pair.question.trimmed().isEmpty() && !pair.answer.trimmed().isEmpty()
        && !pair.question.contains(QLatin1String("->")) && !pair.answer.contains(QLatin1String("->"));
}

class GiftWriter
{
public:
    GiftWriter(const QVector<TopicPair> &pairs, const QString &title)
        : m_pairs(pairs)
        , m_title(title.trimmed().isEmpty() ? QStringLiteral("Тема") : title.trimmed())
    {}

    // Runs of pairs that can be matched become matching questions, the rest short answers, in the topic's order.
    void matchingForm()
    {
        int k = 0;
        while (k < m_pairs.size()) {
            int end = k;
            while (end < m_pairs.size() && matchable(m_pairs[end]))
                ++end;
            if (end - k >= MinMatching) {
                groups(k, end);
                k = end;
            } else {
                shortAnswer(k++);
            }
        }
    }

    void shortAnswers(bool onlyMatched)
    {
        if (onlyMatched && !m_matched.isEmpty())
            m_questions.append(QStringLiteral("// Те же пары по одной: вопросы с кратким ответом"));
        for (int k = 0; k < m_pairs.size(); ++k) {
            if (!onlyMatched || m_matched.contains(k))
                shortAnswer(k);
        }
    }

    QString text() const { return m_questions.join(QLatin1String("\n\n")) + u'\n'; }

private:
    // Groups of even size rather than ten and a remainder too small to match.
    void groups(int from, int end)
    {
        const int length = end - from;
        const int count = (length + MaxMatching - 1) / MaxMatching;
        for (int g = 0; g < count; ++g) {
            const int size = length / count + (g < length % count ? 1 : 0);
            matching(from, size);
            from += size;
        }
    }

    void matching(int from, int size)
    {
        QStringList lines{
            QStringLiteral("::%1:: %2 {").arg(escaped(m_title + u' ' + QString::number(++m_groups)), MatchingText)};
        for (int k = from; k < from + size; ++k) {
            lines.append(
                QStringLiteral("    =%1 -> %2").arg(giftAnswer(m_pairs[k].question), giftText(m_pairs[k].answer)));
            m_matched.insert(k);
        }
        lines.append(QStringLiteral("}"));
        m_questions.append(lines.join(u'\n'));
    }

    void shortAnswer(int k)
    {
        const QString name = escaped(QStringLiteral("%1, вопрос %2").arg(m_title, QString::number(k + 1)));
        m_questions.append(
            QStringLiteral("::%1:: %2 {=%3}").arg(name, giftText(m_pairs[k].question), giftAnswer(m_pairs[k].answer)));
    }

    const QVector<TopicPair> &m_pairs;
    const QString m_title;
    QStringList m_questions;
    QSet<int> m_matched;
    int m_groups = 0;
};

} // namespace

ImportedPairs GiftFormat::read(const QString &text)
{
    ImportedPairs result;
    const QStringList blocks = questionBlocks(text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text);
    for (int k = 0; k < blocks.size(); ++k)
        readQuestion(blocks[k], k + 1, result);
    dropRepeats(result);
    return result;
}

QString GiftFormat::write(const QVector<TopicPair> &pairs, const QString &title, Form form)
{
    GiftWriter writer(pairs, title);
    if (form == Form::ShortAnswer) {
        writer.shortAnswers(false);
    } else {
        writer.matchingForm();
        if (form == Form::Both)
            writer.shortAnswers(true);
    }
    return writer.text();
}
