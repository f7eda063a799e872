#include "print/ppmresource.h"

#include <QFile>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>

class TestPpmResource : public QObject
{
    Q_OBJECT

private slots:
    void inPlace_data();
    void inPlace();
    void image_data();
    void image();
};

// Two rows of four pixels; pixel n of the picture is (n, 100 + n, 200 + n).
static QByteArray pixels(int count = 8)
{
    QByteArray bytes;
    for (int n = 0; n < count; ++n)
        bytes.append(char(n)).append(char(100 + n)).append(char(200 + n));
    return bytes;
}

void TestPpmResource::inPlace_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<bool>("readInPlace");

    QTest::newRow("padded after the magic") << QByteArray("P6 \n4 2\n255\n") << pixels() << true;
    QTest::newRow("any white space") << QByteArray("P6\t4\r\n2\f255\n") << pixels() << true;
    QTest::newRow("more bytes than rows") << QByteArray("P6 \n4 2\n255\n") << pixels() + "tail" << true;
    QTest::newRow("rows off the boundary") << QByteArray("P6\n4 2\n255\n") << pixels() << false;
    QTest::newRow("a row not of whole words") << QByteArray("P6 \n3 2\n255\n") << pixels(6) << false;
    QTest::newRow("one byte short") << QByteArray("P6 \n4 2\n255\n") << pixels().chopped(1) << false;
    QTest::newRow("16-bit samples") << QByteArray("P6 4 2 65535\n") << pixels() + pixels() << false;
    QTest::newRow("grey") << QByteArray("P5 \n4 2\n255\n") << pixels() << false;
    QTest::newRow("comment") << QByteArray("P6\n# x\n4 2\n255\n") << pixels() << false;
    QTest::newRow("no width") << QByteArray("P6 \n0 2\n255\n") << pixels() << false;
    QTest::newRow("side too long") << QByteArray("P6 99999999999999999999 1 255\n") << pixels() << false;
    QTest::newRow("header cut short") << QByteArray("P6 4 2 255") << QByteArray() << false;
    QTest::newRow("nothing") << QByteArray() << QByteArray() << false;
}

// A picture of the kind the programs ship is read where it lies; anything
// else is refused whole, never read past its end.
void TestPpmResource::inPlace()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, rows);
    QFETCH(bool, readInPlace);
    const QByteArray file = header + rows;
    // The data ends where the file ends, so a read past it is caught by the sanitizers.
    std::unique_ptr<uchar[]> data(new uchar[size_t(file.size()) + 1]);
    memcpy(data.get(), file.constData(), size_t(file.size()));
    const QImage picture = PpmResource::inPlace(data.get(), file.size());
    QCOMPARE(!picture.isNull(), readInPlace);
    if (!readInPlace)
        return;
    QCOMPARE(picture.size(), QSize(4, 2));
    QCOMPARE(picture.constBits(), data.get() + header.size());
    QCOMPARE(picture.pixel(0, 0), qRgb(0, 100, 200));
    QCOMPARE(picture.pixel(3, 0), qRgb(3, 103, 203));
    QCOMPARE(picture.pixel(3, 1), qRgb(7, 107, 207));
}

void TestPpmResource::image_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("readInPlace");

    QTest::newRow("shipped picture") << QStringLiteral(":/tesmora/picture.ppm") << QByteArray() << QSize(500, 375)
                                     << true;
    QTest::newRow("file with a comment") << QStringLiteral("comment.ppm")
                                         << QByteArray("P6\n# x\n4 2\n255\n") + pixels() << QSize(4, 2) << false;
    QTest::newRow("missing") << QStringLiteral(":/no/such.ppm") << QByteArray() << QSize(0, 0) << false;
}

void TestPpmResource::image()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(bool, readInPlace);
    QTemporaryDir dir;
    if (!file.isEmpty()) {
        path = dir.filePath(path);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    const QImage picture = PpmResource::image(path);
    QCOMPARE(picture.size(), size);
    const QResource resource(path);
    QCOMPARE(resource.isValid() && picture.constBits() > resource.data()
                 && picture.constBits() < resource.data() + resource.size(),
             readInPlace);
    if (!file.isEmpty())
        QCOMPARE(picture.pixel(3, 1), qRgb(7, 107, 207));
}

QTEST_MAIN(TestPpmResource)

#include "tst_ppmresource.moc"
