#include "giftformat.h"
#include "tabletext.h"
#include "topicimport.h"

#include <QFile>
#include <QTest>

using Rows = QVector<QStringList>;
using Form = GiftFormat::Form;
Q_DECLARE_METATYPE(GiftFormat::Form)

namespace {

QStringList flat(const QVector<TopicPair> &pairs)
{
    QStringList lines;
    for (const TopicPair &pair : pairs)
        lines.append(pair.question + QStringLiteral(" | ") + pair.answer);
    return lines;
}

QVector<TopicPair> numbered(int count, int first = 1)
{
    QVector<TopicPair> pairs;
    for (int k = first; k < first + count; ++k)
        pairs.append({QStringLiteral("Вопрос %1").arg(k), QStringLiteral("Ответ %1").arg(k)});
    return pairs;
}

} // namespace

// Tables pasted from spreadsheets and GIFT files from Moodle, read into a topic's pairs.
class TestTopicImport : public QObject
{
    Q_OBJECT

private slots:
    void rows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<Rows>("rows");
        QTest::newRow("tabs") << "a\tb\nc\td\n" << QChar(u'\t') << Rows{{"a", "b"}, {"c", "d"}};
        QTest::newRow("crlf, semicolon") << "a;b\r\nc;d" << QChar(u';') << Rows{{"a", "b"}, {"c", "d"}};
        QTest::newRow("lone cr") << "a,b\rc,d\r" << QChar(u',') << Rows{{"a", "b"}, {"c", "d"}};
        QTest::newRow("quoted delimiter") << "\"a,b\",c" << QChar(u',') << Rows{{"a,b", "c"}};
        QTest::newRow("escaped quote") << "\"say \"\"hi\"\"\";x" << QChar(u';') << Rows{{"say \"hi\"", "x"}};
        QTest::newRow("quoted line breaks")
            << "\"one\ntwo\"\tx\n\"a\r\nb\"\ty" << QChar(u'\t') << Rows{{"one\ntwo", "x"}, {"a\r\nb", "y"}};
        QTest::newRow("empty fields") << "a,,\n,b" << QChar(u',') << Rows{{"a", "", ""}, {"", "b"}};
        QTest::newRow("blank row kept inside") << "a,b\n\nc,d\n\n" << QChar(u',') << Rows{{"a", "b"}, {""}, {"c", "d"}};
        QTest::newRow("quote inside a field") << "a\"b,c" << QChar(u',') << Rows{{"a\"b", "c"}};
        QTest::newRow("nothing") << "" << QChar(u',') << Rows{};
    }
    void rows()
    {
        QFETCH(QString, text);
        QFETCH(QChar, delimiter);
        QFETCH(Rows, rows);
        QCOMPARE(TableText::rows(text, delimiter), rows);
    }

    // Which delimiter a paste has, and whether it is more than one cell.
    void shape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QChar>("delimiter");
        QTest::addColumn<bool>("rows");
        QTest::newRow("tab before semicolon") << "a;b\tc" << QChar(u'\t') << false;
        QTest::newRow("semicolon") << "a;b,c\r\n\r\n" << QChar(u';') << false;
        QTest::newRow("semicolon in quotes") << "\"x;y\",z\rw" << QChar(u',') << true;
        QTest::newRow("first line that has text") << "\n \na;b" << QChar(u';') << true;
        QTest::newRow("first line only") << "a,b\nc\td" << QChar(u',') << true;
        QTest::newRow("quoted line break") << "\"x\ny\"\tb" << QChar(u'\t') << true;
    }
    void shape()
    {
        QFETCH(QString, text);
        QFETCH(QChar, delimiter);
        QFETCH(bool, rows);
        QCOMPARE(TableText::guessDelimiter(text), delimiter);
        QCOMPARE(TableText::looksLikeRows(text), rows);
    }

    void pairs_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QStringList>("skipped"); // and then, after "|", what was taken otherwise
        QTest::newRow("trimmed") << Rows{{" Ёж ", "\tёж\n"}} << QStringList{"Ёж | ёж"} << QStringList{};
        QTest::newRow("empty rows silently")
            << Rows{{"", " "}, {""}, {"q", "a"}} << QStringList{"q | a"} << QStringList{};
        QTest::newRow("half rows") << Rows{{"q", "a"}, {"q2", ""}, {"", "a3"}, {"only"}} << QStringList{"q | a"}
                                   << QStringList{"Строка 2: нет ответа", "Строка 3: нет вопроса",
                                                  "Строка 4: нет ответа"};
        QTest::newRow("extra columns, once")
            << Rows{{"a", "b", "c"}, {"d", "e", " "}, {"f", "g", "", "h"}} << QStringList{"a | b", "d | e", "f | g"}
            << QStringList{"|", "Строки 1, 3: лишние столбцы не взяты"};
        QTest::newRow("one wide row") << Rows{{"x", "y"}, {"a", "b", "c"}} << QStringList{"x | y", "a | b"}
                                      << QStringList{"|", "Строка 2: лишние столбцы не взяты"};
        QTest::newRow("only a third column")
            << Rows{{"", "", "note"}} << QStringList{} << QStringList{"Строка 1: нет ни вопроса, ни ответа"};
    }
    void pairs()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, pairs);
        QFETCH(QStringList, skipped);
        const ImportedPairs got = TableText::pairs(rows);
        QCOMPARE(flat(got.pairs), pairs);
        const qsizetype bar = skipped.indexOf(QStringLiteral("|"));
        QCOMPARE(got.skipped, skipped.mid(0, bar));
        QCOMPARE(got.changed, bar < 0 ? QStringList() : skipped.mid(bar + 1));
    }

    void decodeFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // empty: refused
        QTest::newRow("utf-8") << QByteArray("Вопрос;Ответ") << QStringLiteral("Вопрос;Ответ");
        QTest::newRow("utf-8 with mark") << QByteArray("\xef\xbb\xbfВопрос") << QStringLiteral("Вопрос");
        QTest::newRow("windows-1251") << QByteArray("\xc2\xee\xef\xf0\xee\xf1") << QStringLiteral("Вопрос");
        QTest::newRow("windows-1251 yo") << QByteArray("\xa8\xe6") << QStringLiteral("Ёж");
        QTest::newRow("xlsx") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8) << QString();
    }
    void decodeFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QString error;
        const std::optional<QString> got = TableText::decodeFile(bytes, &error);
        QCOMPARE(got.value_or(QString()), text);
        QCOMPARE(error.isEmpty(), !text.isEmpty());
    }

    void giftFile()
    {
        QFile file(QStringLiteral(TOPICIMPORT_DATA "/all-kinds.gift"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const ImportedPairs got = GiftFormat::read(QString::fromUtf8(file.readAll()));
        const QStringList pairs{
            "Столица России — | Москва",
            "Массив | набор элементов одного типа",
            "Индекс | номер элемента",
            "Цикл | повторение действий",
            "Сколько бит в байте? | 8",
            "Как называется цикл for? | цикл с параметром",
            "Число пи с точностью до сотых | 3.14",
            "Сколько будет 7 / 2 с точностью до целых? | 3",
            "Назовите число от 1 до 5 | 1..5",
            "Корень из 9 | 3",
            "Байт состоит из 8 бит. | Да",
            "Массив хранит элементы разных типов. | Нет",
            "В Паскале массивы нумеруют с любого индекса. | Да",
            "В Python индекс последнего элемента равен длине списка. | Нет",
            "Какой цикл выполняется хотя бы раз? | repeat",
            "Какой тип целый? | integer",
            "Программа Moodle стоит _____ при загрузке. | ничего",
            "Что напечатает print(\"a=b~c#d\")? | a=b~c#d",
            "Как в Паскале пишут комментарий { ... }? | фигурные скобки {}",
            "Как записать путь C:\\Temp в строке? Одной строкой. | C:\\\\Temp",
            "Сколько будет 2 + 2? | 4",
            "Какой оператор прерывает цикл досрочно? | break",
            "Какой индекс у первого элемента в Python? | 0",
            "Что такое массив & список? Коротко. | структуры данных",
            "Что означает **текст** в разметке? | жирный шрифт",
        };
        QCOMPARE(flat(got.pairs), pairs);
        const QStringList skipped{
            "«Соответствие»: ответ «лишний вариант» без вопроса не взят",
            "«Несколько»: несколько верных ответов",
            "«Два верных»: несколько верных ответов",
            "«Нет верного»: нет ответа, верного на 100%",
            "«Сочинение»: эссе, нет ответа",
            "«Расскажите, чем массив отличается от списка…»: эссе, нет ответа",
            "«Введение»: описание, нет ответа",
        };
        QCOMPARE(got.skipped, skipped);
    }

    void giftText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<QStringList>("skipped");
        QTest::newRow("crlf and a mark") << "\xef\xbb\xbf::A::Q1\r\nQ2 {=x}\r\n\r\nQ3 {T}"
                                         << QStringList{"Q1 Q2 | x", "Q3 | Да"} << QStringList{};
        QTest::newRow("unclosed") << "::Б:: вопрос {=x" << QStringList{}
                                  << QStringList{"«Б»: нет закрывающей скобки «}»"};
        QTest::newRow("no marks") << "вопрос {ответ}" << QStringList{} << QStringList{"«вопрос»: ответы не разобраны"};
        QTest::newRow("empty sides") << "{=x}\n\nq {=}\n\n::M:: m {=a -> b =c -> }" << QStringList{"a | b"}
                                     << QStringList{"Вопрос 1: нет текста вопроса", "«q»: пустой ответ",
                                                    "«M»: вопрос «c» без ответа не взят"};
        QTest::newRow("repeats") << "q {=a}\n\nq {=a}\n\nq {=b}" << QStringList{"q | a", "q | b"}
                                 << QStringList{"Повторяющихся пар не взято: 1"};
        QTest::newRow("one arrow is a short answer") << "q {=a -> b}" << QStringList{"q | a -> b"} << QStringList{};
    }
    void giftText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pairs);
        QFETCH(QStringList, skipped);
        const ImportedPairs got = GiftFormat::read(text);
        QCOMPARE(flat(got.pairs), pairs);
        QCOMPARE(got.skipped, skipped);
    }

    void roundTrip_data()
    {
        QTest::addColumn<Form>("form");
        QTest::addColumn<QVector<TopicPair>>("pairs");
        const QVector<TopicPair> special{{"Что такое {x}?", "= ~ # : \\ {}"},
                                         {"a::b", "c:"},
                                         {"x -> y", "стрелка"},
                                         {"[html]<b>Ёж</b>", "%50% \\n"},
                                         {"// не комментарий", "$CATEGORY: нет"},
                                         {"T", "#3"},
                                         {"Ёлка", "ель"}};
        const QVector<TopicPair> many = numbered(23) + special + numbered(2, 24);
        for (Form form : {Form::Matching, Form::ShortAnswer, Form::Both}) {
            const QByteArray name = QByteArray::number(int(form));
            QTest::newRow("special " + name) << form << special;
            QTest::newRow("many " + name) << form << many;
        }
    }
    void roundTrip()
    {
        QFETCH(Form, form);
        QFETCH(QVector<TopicPair>, pairs);
        const ImportedPairs got = GiftFormat::read(GiftFormat::write(pairs, QStringLiteral("Тема:: {1}:"), form));
        QCOMPARE(flat(got.pairs), flat(pairs));
        QCOMPARE(got.skipped.size(), form == Form::Both ? 1 : 0);
    }

    void matchingGroups_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<int>>("sizes");
        QTest::newRow("2") << 2 << QVector<int>{};
        QTest::newRow("3") << 3 << QVector<int>{3};
        QTest::newRow("10") << 10 << QVector<int>{10};
        QTest::newRow("11") << 11 << QVector<int>{6, 5};
        QTest::newRow("23") << 23 << QVector<int>{8, 8, 7};
    }
    void matchingGroups()
    {
        QFETCH(int, count);
        QFETCH(QVector<int>, sizes);
        const QString text = GiftFormat::write(numbered(count), QStringLiteral("Т"), Form::Matching);
        QVector<int> written;
        for (const QString &question : text.split(QStringLiteral("\n\n"))) {
            if (question.contains(QStringLiteral("Сопоставьте")))
                written.append(int(question.count(QStringLiteral(" -> "))));
        }
        QCOMPARE(written, sizes);
        QCOMPARE(int(text.count(QStringLiteral("{="))), sizes.isEmpty() ? count : 0);
        QCOMPARE(text.startsWith(QStringLiteral("::Т 1::")), !sizes.isEmpty());
    }

    void fileKinds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pairs"); // as the trainer's files can hold them
        const QString gift = QStringLiteral("// вопросы\n::А:: Байт — это {=8 бит}\n");
        QTest::newRow("GIFT by its name") << "a.gift" << gift << QStringList{"Байт — это | 8 бит"};
        QTest::newRow("GIFT by its braces") << "a.txt" << gift << QStringList{"Байт — это | 8 бит"};
        QTest::newRow("a table by its name, braces or not") << "a.csv"
                                                            << "Что {=a};ответ\n"
                                                            << QStringList{"Что {=a} | ответ"};
        QTest::newRow("a header row left out") << "a.csv"
                                               << "Вопрос;Ответ\nЦикл;повторение\n"
                                               << QStringList{"Цикл | повторение"};
        QTest::newRow("a table by its first line") << "a.txt"
                                                   << "Вопрос\tОтвет {=x}\n"
                                                   << QStringList{"Вопрос | Ответ {=x}"};
        QTest::newRow("quotes and a line break made fit") << "a.tsv"
                                                          << "\"Слово \"\"цикл\"\"\nв Паскале\"\tfor\n"
                                                          << QStringList{"Слово «цикл» в Паскале | for"};
    }
    void fileKinds()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(QStringList, pairs);
        const ImportedPairs imported = TopicImport::parse(TopicImport::kindOf(path, text), text);
        QCOMPARE(flat(imported.pairs), pairs);
        QCOMPARE(imported.changed.isEmpty(),
                 !text.contains(QLatin1Char('"')) && !text.startsWith(QStringLiteral("Вопрос;")));
    }
};

QTEST_APPLESS_MAIN(TestTopicImport)
#include "tst_topicimport.moc"
