#include "topicimport.h"

#include "giftformat.h"
#include "tabletext.h"

#include "storage/fileentry.h"
#include "storage/systemerror.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// Far beyond any topic; a larger file is no topic a teacher keeps.
constexpr qint64 kFileLimit = qint64(8) * 1024 * 1024;

} // namespace

TopicImport::Kind TopicImport::kindOf(const QString &path, const QString &text)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gift"))
        return Kind::Gift;
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") || suffix == QLatin1String("tab"))
        return Kind::Table;
    // A question's answers in braces, "{=...}", "{T}", "{#...", with no
    // column delimiter where a table's first row would have one.
    static const QRegularExpression braces(QStringLiteral("\\{\\s*([=~#}]|T\\b|F\\b|TRUE\\b|FALSE\\b)"));
    const QString firstLine = text.section(QLatin1Char('\n'), 0, 0);
    const bool delimited = firstLine.contains(QLatin1Char('\t')) || firstLine.contains(QLatin1Char(';'));
    return braces.match(text).hasMatch() && !delimited ? Kind::Gift : Kind::Table;
}

ImportedPairs TopicImport::parse(Kind kind, const QString &text)
{
    ImportedPairs imported = kind == Kind::Gift
        ? GiftFormat::read(text)
        : TableText::pairs(TableText::rows(text, TableText::guessDelimiter(text)));
    fitForTrainer(imported);
    return imported;
}

namespace {

// Quotes opened and closed in turn, line breaks as blanks; whether it changed.
bool fit(QString &entry)
{
    const QString was = entry;
    bool open = true;
    for (QChar &c : entry) {
        if (c == QLatin1Char('"')) {
            c = open ? QChar(0x00AB) : QChar(0x00BB);
            open = !open;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')) {
            c = QLatin1Char(' ');
        }
    }
    return entry != was;
}

} // namespace

void TopicImport::fitForTrainer(ImportedPairs &imported)
{
    QStringList rows;
    for (qsizetype row = 0; row < imported.pairs.size(); ++row) {
        TopicPair &pair = imported.pairs[row];
        const bool question = fit(pair.question);
        const bool answer = fit(pair.answer); // both, whatever the first did
        if (question || answer)
            rows << QString::number(row);
    }
    if (!rows.isEmpty())
        imported.changed << QStringLiteral(
                                "Кавычки \" заменены на «ёлочки», переносы строк — на пробелы, в строках редактора: ")
                + rows.join(QStringLiteral(", "));
}

ImportedPairs TopicImport::read(const QString &path, QString *error)
{
    int code = 0;
    const std::optional<QByteArray> bytes = FileEntry::read(path, kFileLimit, true, &code);
    if (!bytes) {
        *error = SystemError::about(QStringLiteral("прочитать"), path, code);
        return {};
    }
    if (bytes->size() > kFileLimit) {
        *error = QStringLiteral("Файл %1 больше 8 МБ: таких тем не бывает.").arg(path);
        return {};
    }
    const std::optional<QString> text = TableText::decodeFile(*bytes, error);
    if (!text)
        return {};
    ImportedPairs imported = parse(kindOf(path, *text), *text);
    if (imported.pairs.isEmpty())
        *error = QStringLiteral("В файле %1 не нашлось ни одной пары вопроса и ответа.").arg(path);
    return imported;
}
