#include "core/sequentialfile.h"
#include "core/textdecoder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSequentialFile : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void missingFile();
    void directoryInPlaceOfFile();
    void oversizedFileIsCut();
    void longFieldIsCut();
    void windows1251RoundTrip();

private:
    static QStringList readAll(SequentialFile &file);
};

QStringList TestSequentialFile::readAll(SequentialFile &file)
{
    QStringList fields;
    while (!file.atEnd())
        fields << file.readField();
    return fields;
}

void TestSequentialFile::fields_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("CRLF lines") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("LF lines, no final line end") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("CR-only lines") << QByteArray("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("comma splits a line") << QByteArray("a, b\r\n") << QStringList{"a", "b"};
    QTest::newRow("quoted comma kept") << QByteArray("\"a, b\"\r\nc") << QStringList{"a, b", "c"};
    QTest::newRow("blanks trimmed") << QByteArray("  x  ,y") << QStringList{"x", "y"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("one empty line") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty line between") << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("comma at line end") << QByteArray("a,\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("unbalanced quote ends at line end")
        << QByteArray("\"open quote\r\nnext") << QStringList{"open quote", "next"};
    QTest::newRow("text after closing quote dropped") << QByteArray("\"q\" tail,z") << QStringList{"q", "z"};
    QTest::newRow("Windows-1251") << QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2, \xb8\xe6") << QStringList{"Привет", "ёж"};
    QTest::newRow("UTF-8") << QStringLiteral("Привет,ёж").toUtf8() << QStringList{"Привет", "ёж"};
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xef\xbb\xbf") + QStringLiteral("Ёлка").toUtf8() << QStringList{"Ёлка"};
    QTest::newRow("UTF-16 with byte-order mark")
        << QByteArray("\xff\xfe\x14\x04\x30\x04\x0d\x00\x0a\x00\x3d\x04\x35\x04\x42\x04", 16)
        << QStringList{"Да", "нет"};
    QTest::newRow("broken UTF-8 read as Windows-1251") << QByteArray("\xe4\xe0 \xc0") << QStringList{"да А"};
}

void TestSequentialFile::fields()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    SequentialFile file;
    file.openBytes(bytes);
    QCOMPARE(readAll(file), expected);
}

void TestSequentialFile::missingFile()
{
    QTemporaryDir dir;
    SequentialFile file;
    QCOMPARE(file.open(dir.filePath("nothing.txt")), SequentialFile::Status::Missing);
    QVERIFY(file.atEnd());
    QCOMPARE(file.readField(), QString());
}

void TestSequentialFile::directoryInPlaceOfFile()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("test.txt"));
    SequentialFile file;
    QCOMPARE(file.open(dir.filePath("test.txt")), SequentialFile::Status::NotAFile);
    QVERIFY(file.atEnd());
}

void TestSequentialFile::oversizedFileIsCut()
{
    QTemporaryDir dir;
    QFile out(dir.filePath("big.txt"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    // Two-byte UTF-8 letters, placed so that the cut falls inside one of them.
    QByteArray bytes = "x" + QStringLiteral("я").toUtf8().repeated(SequentialFile::MaxBytes);
    out.write(bytes);
    out.close();

    SequentialFile file;
    QCOMPARE(file.open(out.fileName()), SequentialFile::Status::Open);
    QVERIFY(file.truncated());
    const QString field = file.readField();
    QCOMPARE(field.size(), SequentialFile::MaxFieldLength);
    QVERIFY(field.startsWith(QStringLiteral("xяя")));
    QVERIFY(file.atEnd());
}

void TestSequentialFile::longFieldIsCut()
{
    SequentialFile file;
    file.openBytes(QByteArray(10000, 'a') + "\r\nb");
    QCOMPARE(file.readField().size(), SequentialFile::MaxFieldLength);
    QCOMPARE(file.readField(), QStringLiteral("b"));
    QVERIFY(file.atEnd());
}

void TestSequentialFile::windows1251RoundTrip()
{
    QString all;
    for (char16_t c = 0x0410; c <= 0x044F; ++c)
        all.append(QChar(c));
    all += QStringLiteral("ЁёЎў№ «»");
    QCOMPARE(TextDecoder::fromWindows1251(TextDecoder::toWindows1251(all)), all);
    // Every byte, the one without a letter (0x98) included, comes back unchanged.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    QCOMPARE(TextDecoder::toWindows1251(TextDecoder::fromWindows1251(bytes)), bytes);
}

QTEST_APPLESS_MAIN(TestSequentialFile)
#include "tst_sequentialfile.moc"
