#include "topicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

#include <sys/stat.h>

using Encoding = TopicFile::Encoding;
Q_DECLARE_METATYPE(TopicFile::Encoding)

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Random entries of what teachers type, and of what the format cannot hold.
class TableMaker
{
public:
    explicit TableMaker(quint32 seed)
        : m_engine(seed)
    {}

    QVector<TopicPair> table()
    {
        QVector<TopicPair> pairs(draw(32));
        for (TopicPair &pair : pairs)
            pair = {entry(), entry()};
        return pairs;
    }

private:
    int draw(int n) { return int(m_engine() % quint32(n)); }

    QString entry()
    {
        static const QString pieces[] = {QStringLiteral("Что такое"), QStringLiteral("массив"),
                                         QStringLiteral("Ёж"),        QStringLiteral("loop"),
                                         QStringLiteral(", "),        QStringLiteral(","),
                                         QStringLiteral(" "),         QStringLiteral("\t"),
                                         QStringLiteral("1024"),      QStringLiteral("№ «ёлочки» — €"),
                                         QStringLiteral("\""),        QStringLiteral("ü"),
                                         QStringLiteral("\n"),        QStringLiteral("Рђ"),
                                         QStringLiteral("?")};
        if (draw(300) == 0)
            return QString(1995 + draw(10), QChar(0x0416)); // long, now and then too long
        QString text;
        const int count = draw(7);
        for (int k = 0; k < count; ++k) {
            const int piece = draw(1000);
            // The characters the format cannot hold come rarely, so most tables are accepted.
            text += pieces[piece < 995 ? piece % 10 : 10 + piece % 5];
        }
        return text;
    }

    std::mt19937 m_engine;
};

QVector<TopicPair> cleaned(const QVector<TopicPair> &pairs)
{
    QVector<TopicPair> out;
    for (const TopicPair &pair : pairs)
        out.append({TopicFile::clean(pair.question), TopicFile::clean(pair.answer)});
    return out;
}

} // namespace

class TestTopicFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void refusals_data();
    void refusals();
    void reading_data();
    void reading();
    void readingWhatStandsThere_data();
    void readingWhatStandsThere();
};

void TestTopicFile::roundTrip_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("Windows-1251") << Encoding::Windows1251;
    QTest::newRow("UTF-8") << Encoding::Utf8;
}

void TestTopicFile::roundTrip()
{
    QFETCH(Encoding, encoding);
    // Every table the save accepts is read back by the trainer's reader as
    // shown, blanks at the ends dropped; every 50th goes through real files.
    TableMaker maker(2026);
    QTemporaryDir dir;
    int accepted = 0;
    for (int round = 0; round < 1500; ++round) {
        const QVector<TopicPair> pairs = maker.table();
        if (TopicFile::check(pairs, encoding))
            continue;
        ++accepted;
        QStringList questions, answers;
        for (const TopicPair &pair : cleaned(pairs)) {
            questions << pair.question;
            answers << pair.answer;
        }
        const TopicFile::Loaded back
            = TopicFile::parse(TopicFile::encode(questions, encoding), TopicFile::encode(answers, encoding));
        QCOMPARE(back.pairs, cleaned(pairs));
        if (round % 50 == 0) {
            QVERIFY(TopicFile::save(dir.path(), pairs, encoding).saved);
            QCOMPARE(TopicFile::read(dir.path()).pairs, cleaned(pairs));
        }
    }
    QVERIFY2(accepted > 300, qPrintable(QString::number(accepted)));
}

void TestTopicFile::refusals_data()
{
    QTest::addColumn<QVector<TopicPair>>("pairs");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("offerUtf8");
    const QVector<TopicPair> plain(18, TopicPair{QStringLiteral("Вопрос"), QStringLiteral("Ответ")});
    auto with = [&plain](int row, const QString &answer) {
        QVector<TopicPair> pairs = plain;
        pairs[row].answer = answer;
        return pairs;
    };
    QTest::newRow("line break") << with(3, QStringLiteral("две\nстроки")) << Encoding::Utf8 << 3 << false;
    QTest::newRow("double quote") << with(4, QStringLiteral("\"Цитата\"")) << Encoding::Utf8 << 4 << false;
    QTest::newRow("too long") << with(5, QString(2001, QLatin1Char('x'))) << Encoding::Utf8 << 5 << false;
    QTest::newRow("not in Windows-1251") << with(6, QStringLiteral("Müller")) << Encoding::Windows1251 << 6 << true;
    // In Windows-1251 "Рђ" is D0 90, which a reader takes for UTF-8 when the whole file is valid UTF-8.
    QVector<TopicPair> latin(18, TopicPair{QStringLiteral("q"), QStringLiteral("a")});
    latin[7].answer = QStringLiteral("Рђ");
    QTest::newRow("read back as UTF-8") << latin << Encoding::Windows1251 << 7 << true;
    QTest::newRow("32 pairs") << QVector<TopicPair>(32, plain[0]) << Encoding::Utf8 << 31 << false;
}

void TestTopicFile::refusals()
{
    QFETCH(QVector<TopicPair>, pairs);
    QFETCH(Encoding, encoding);
    QFETCH(int, row);
    QFETCH(bool, offerUtf8);
    const std::optional<TopicFile::Refusal> refusal = TopicFile::check(pairs, encoding);
    QVERIFY(refusal);
    QCOMPARE(refusal->row, row);
    QCOMPARE(refusal->encoding, offerUtf8);
    QVERIFY2(refusal->message.contains(QString::number(row)), qPrintable(refusal->message));
    // Nothing is written: the old pair keeps its bytes, and no backup is made.
    QTemporaryDir dir;
    writeBytes(dir.filePath("test.txt"), "old questions\r\n");
    writeBytes(dir.filePath("test1.txt"), "old answers\r\n");
    const TopicSave::Result result = TopicFile::save(dir.path(), pairs, encoding);
    QVERIFY(!result.saved);
    QCOMPARE(result.message, refusal->message);
    QCOMPARE(bytesOf(dir.filePath("test.txt")), QByteArray("old questions\r\n"));
    QCOMPARE(bytesOf(dir.filePath("test1.txt")), QByteArray("old answers\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

void TestTopicFile::reading_data()
{
    QTest::addColumn<QByteArray>("questions");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QList<int>>("marked");
    const QByteArray three = "a\r\nb\r\nc\r\n";
    QTest::newRow("matching pair") << three << three << 3 << 0 << QList<int>{};
    QTest::newRow("comma splits a line") << QByteArray("a, b\r\nc\r\n") << three << 3 << 1 << QList<int>{0, 1};
    QTest::newRow("quoted comma") << QByteArray("\"a, b\"\r\nc\r\nd\r\n") << three << 3 << 0 << QList<int>{};
    QTest::newRow("one answer more") << QByteArray("a\r\nb\r\n") << three << 3 << 1 << QList<int>{2};
    QTest::newRow("an entry cut") << QByteArray(3000, 'x') << QByteArray("a") << 1 << 1 << QList<int>{0};
    QTest::newRow("40 entries") << QByteArray("q\r\n").repeated(40) << QByteArray("a\r\n").repeated(31) << 31 << 1
                                << QList<int>{};
}

void TestTopicFile::reading()
{
    QFETCH(QByteArray, questions);
    QFETCH(QByteArray, answers);
    QFETCH(int, rows);
    QFETCH(int, messages);
    QFETCH(QList<int>, marked);
    const TopicFile::Loaded loaded = TopicFile::parse(questions, answers);
    QCOMPARE(loaded.pairs.size(), rows);
    QCOMPARE(loaded.messages.size(), messages);
    QList<int> got = loaded.markedRows.values();
    std::sort(got.begin(), got.end());
    QCOMPARE(got, marked);
}

void TestTopicFile::readingWhatStandsThere_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("said");
    QTest::newRow("pipe") << "pipe" << 3 << "Вместо файла ответов test1.txt стоит именованный канал (FIFO)";
    QTest::newRow("folder") << "folder" << 3 << "Вместо файла ответов test1.txt стоит папка";
    QTest::newRow("link to a file") << "link" << 3 << "test1.txt — символическая ссылка на";
    QTest::newRow("link to nothing") << "dangling" << 3 << "которая не ведёт к файлу";
    QTest::newRow("missing") << "missing" << 3 << "Нет файла ответов test1.txt.";
}

void TestTopicFile::readingWhatStandsThere()
{
    QFETCH(QString, kind);
    QFETCH(int, rows);
    QFETCH(QString, said);
    // Whatever stands in the answers' place, opening says what it is and
    // never waits on it.
    QTemporaryDir dir;
    writeBytes(dir.filePath("test.txt"), "a\r\nb\r\nc\r\n");
    writeBytes(dir.filePath("elsewhere"), "x\r\ny\r\nz\r\n");
    const QByteArray answers = QFile::encodeName(dir.filePath("test1.txt"));
    if (kind == "pipe")
        QCOMPARE(mkfifo(answers.constData(), 0644), 0);
    else if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir("test1.txt"));
    else if (kind != "missing")
        QVERIFY(QFile::link(dir.filePath(kind == "link" ? "elsewhere" : "nowhere"), dir.filePath("test1.txt")));
    const TopicFile::Loaded loaded = TopicFile::read(dir.path());
    QCOMPARE(loaded.pairs.size(), rows);
    QVERIFY2(loaded.messages.join('\n').contains(said), qPrintable(loaded.messages.join('\n')));
    QCOMPARE(loaded.pairs[2].answer, kind == "link" ? QStringLiteral("z") : QString());
}

QTEST_MAIN(TestTopicFile)
#include "tst_topicfile.moc"
