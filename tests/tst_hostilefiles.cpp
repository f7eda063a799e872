#include "core/sequentialfile.h"
#include "forms/appsetup.h"
#include "forms/formtimer.h"
#include "forms/printsurface.h"
#include "formundertest.h"
#include "trainerform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

// Every kind of bad question file a teacher could leave in the data folder:
// the trainer's window still comes up, says what is wrong, and reading stays
// bounded in time and memory.
class TestHostileFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void questionFile_data();
    void questionFile();
};

void TestHostileFiles::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

namespace {

enum class Kind { Bytes, Missing, Directory, Unreadable };

QByteArray randomBytes(int size)
{
    std::mt19937 engine(42);
    QByteArray bytes(size, '\0');
    for (char &b : bytes)
        b = char(engine() & 0xFF);
    return bytes;
}

QByteArray manyLines(int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 4);
    for (int k = 0; k < count; ++k)
        bytes += "q" + QByteArray::number(k % 10) + "\n";
    return bytes;
}

// Puts what the row asks for where the question file is looked for.
bool placeQuestionFile(Kind kind, const QByteArray &bytes, const QString &path)
{
    switch (kind) {
    case Kind::Bytes: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    case Kind::Missing:
        return true;
    case Kind::Directory:
        return QDir().mkdir(path);
    case Kind::Unreadable:
        // Reading this file fails even for root, which file modes do not stop.
        return QFile::link(QStringLiteral("/proc/self/mem"), path);
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

void TestHostileFiles::questionFile_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message"); // empty: no message expected
    QTest::addColumn<QString>("first");   // questions(0) after Load
    QTest::addColumn<int>("entries");

    QTest::newRow("missing") << Kind::Missing << QByteArray() << "Не найден файл вопросов" << QString() << 0;
    QTest::newRow("empty") << Kind::Bytes << QByteArray() << QString() << QString() << 0;
    QTest::newRow("unreadable") << Kind::Unreadable << QByteArray() << "Не удалось прочитать файл вопросов" << QString()
                                << 0;
    QTest::newRow("directory") << Kind::Directory << QByteArray() << "Вместо файла вопросов стоит папка" << QString()
                               << 0;
    QTest::newRow("binary") << Kind::Bytes << randomBytes(4096) << "В файле вопросов больше 31 записи" << QString()
                            << -1;
    QTest::newRow("invalid UTF-8 is Windows-1251")
        << Kind::Bytes << QByteArray("\xc4\xe0\r\n\xcd\xe5\xf2") << QString() << "Да" << 2;
    QTest::newRow("UTF-8 byte-order mark")
        << Kind::Bytes << QByteArray("\xef\xbb\xbf") + QStringLiteral("Вопрос\r\nЕщё").toUtf8() << QString() << "Вопрос"
        << 2;
    QTest::newRow("UTF-16") << Kind::Bytes << QByteArray("\xff\xfe\x12\x04\x0a\x00\x31\x00", 8) << QString() << "В"
                            << 2;
    QTest::newRow("one line of 10 MB") << Kind::Bytes << QByteArray(qsizetype(10) * 1024 * 1024, 'x')
                                       << "В файле вопросов больше 31 записи"
                                       << QString(SequentialFile::MaxFieldLength, QLatin1Char('x')) << 1;
    QTest::newRow("a million short lines") << Kind::Bytes << manyLines(1000000) << "В файле вопросов больше 31 записи"
                                           << "q0" << 31;
    QTest::newRow("1000 fields") << Kind::Bytes << QByteArray("f,").repeated(1000)
                                 << "В файле вопросов больше 31 записи"
                                 << "f" << 31;
    QTest::newRow("unbalanced quotes") << Kind::Bytes << QByteArray("\"one, two\r\n\"three\"\r\n\"") << QString()
                                       << "one, two" << 2; // the lone quote at the end is an empty field
    QTest::newRow("CR-only line ends") << Kind::Bytes << QByteArray("a\rb\rc\r") << QString() << "a" << 3;
}

void TestHostileFiles::questionFile()
{
    QFETCH(Kind, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QString, first);
    QFETCH(int, entries);

    QTemporaryDir dir;
    QVERIFY(placeQuestionFile(kind, bytes, dir.filePath("test.txt")));
    QFile answers(dir.filePath("test1.txt"));
    QVERIFY(answers.open(QIODevice::WriteOnly));
    answers.write("a0\r\na1\r\n");
    answers.close();

    QElapsedTimer timer;
    timer.start();
    TrainerForm form(dir.path());
    QVERIFY(FormUnderTest::start(form, form.Timer1, {}));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));

    const QStringList printed = form.surface()->lines();
    if (message.isEmpty()) {
        QVERIFY2(printed.isEmpty(), qPrintable(printed.join('|')));
    } else {
        QCOMPARE(printed.size(), 1);
        QVERIFY2(printed[0].startsWith(message), qPrintable(printed[0]));
    }
    int count = 0;
    for (const QString &q : form.trainer().questions()) {
        count += q.isEmpty() ? 0 : 1;
        QVERIFY(q.size() <= SequentialFile::MaxFieldLength);
    }
    if (entries >= 0) {
        QCOMPARE(count, entries);
        QCOMPARE(form.trainer().questions()[0], first);
    }
    QCOMPARE(form.trainer().answers()[1], QStringLiteral("a1"));
    // The window is there and answers: the mode boxes still ask for a level.
    QVERIFY(form.isVisible());
    form.Check1_Click();
    QCOMPARE(form.surface()->lines(), QStringList{"Выберите уровень!"});
}

QTEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
