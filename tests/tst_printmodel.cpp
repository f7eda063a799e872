#include "forms/appsetup.h"
#include "forms/form.h"
#include "forms/printsurface.h"
#include "print/textfont.h"
#include "print/textwrap.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QTest>

class TestPrintModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void separators_data();
    void separators();
    void zonePositions();
    void linesMoveDown();
    void itemsKeepTheirFontAndColour();
    void clsStartsAgainAtTheTop();
    void propertiesReadByName();
    void textSurvivesResize();
    void widthIsTheSumOfTheCharacters_data();
    void widthIsTheSumOfTheCharacters();
    void designFamiliesDrawTheirSubstitute_data();
    void designFamiliesDrawTheirSubstitute();
    void wrappedLines_data();
    void wrappedLines();
};

void TestPrintModel::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

// Each script step: "t:text;" same line, "t:text," next zone, "t:text." new
// line, "n:5;" a number, "." an empty Print.
static void run(Form &form, const QString &script)
{
    for (const QString &step : script.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        if (step == QLatin1String(".")) {
            form.Print();
            continue;
        }
        const QChar end = step.back();
        const Separator sep = end == QLatin1Char(';') ? Separator::SameLine
            : end == QLatin1Char(',')                 ? Separator::NextZone
                                                      : Separator::NewLine;
        const QString body = step.mid(2, step.size() - 3);
        if (step.startsWith(QLatin1String("n:")))
            form.Print(body.toInt(), sep);
        else
            form.Print(body, sep);
    }
}

void TestPrintModel::separators_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("numbers have blanks") << "n:5;|n:-3;|t:x." << QStringList{" 5 -3 x"};
    QTest::newRow("next zone is a tab") << "t:ab,|t:c." << QStringList{"ab\tc"};
    QTest::newRow("empty print ends an open line") << "t:a;|.|t:b." << QStringList{"a", "b"};
    QTest::newRow("empty prints make empty lines") << ".|." << QStringList{"", ""};
    QTest::newRow("open line stays open") << "t:a;|n:7;" << QStringList{"a 7 "};
    QTest::newRow("zone then new line") << "t: ошибок -  3,|t:оценка 3." << QStringList{" ошибок -  3\tоценка 3"};
}

void TestPrintModel::separators()
{
    QFETCH(QString, script);
    QFETCH(QStringList, lines);
    Form form;
    run(form, script);
    QCOMPARE(form.surface()->lines(), lines);
}

void TestPrintModel::zonePositions()
{
    Form form;
    form.printModel().setFamily(QStringLiteral("Courier New"));
    form.setFontSize(12);
    const qreal zone = form.printModel().zoneWidth();
    QVERIFY(zone > 50);
    form.Print(QString(), Separator::NextZone); // a bare zone step at the line start
    form.Print(QStringLiteral("ab"), Separator::NextZone);
    form.Print(QString(20, QLatin1Char('w')), Separator::NextZone); // wider than one zone
    form.Print(QStringLiteral("z"));
    const auto &items = form.printModel().lines().at(0).items;
    QCOMPARE(items.size(), 4);
    QCOMPARE(items[1].x, zone);
    QCOMPARE(items[2].x, 2 * zone);
    QCOMPARE(items[3].x, 4 * zone);
}

void TestPrintModel::linesMoveDown()
{
    Form form;
    form.setFontSize(12);
    form.Print(QStringLiteral("first"));
    form.Print();
    form.Print(QStringLiteral("third"));
    const auto &lines = form.printModel().lines();
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines[1].y > lines[0].y);
    QCOMPARE(lines[2].y - lines[1].y, lines[1].y - lines[0].y);
}

void TestPrintModel::itemsKeepTheirFontAndColour()
{
    Form form;
    form.setForeColor(255);
    form.setFontSize(14);
    form.setFontBold(true);
    form.Print(QStringLiteral("red"), Separator::SameLine);
    form.setForeColor(0x087A23);
    form.setFontBold(false);
    form.setFontUnderline(true);
    form.Print(12);
    const QVariantList items = form.surface()->items();
    QCOMPARE(items.size(), 2);
    const QVariantMap first = items[0].toMap();
    QCOMPARE(first.value("line").toInt(), 0);
    QCOMPARE(first.value("text").toString(), QStringLiteral("red"));
    QCOMPARE(first.value("color").toUInt(), 255u);
    QCOMPARE(first.value("size").toDouble(), 14.0);
    QCOMPARE(first.value("bold").toBool(), true);
    QCOMPARE(first.value("underline").toBool(), false);
    const QVariantMap second = items[1].toMap();
    QCOMPARE(second.value("text").toString(), QStringLiteral(" 12 "));
    QCOMPARE(second.value("color").toUInt(), 0x087A23u);
    QCOMPARE(second.value("bold").toBool(), false);
    QCOMPARE(second.value("underline").toBool(), true);
    QCOMPARE(second.value("italic").toBool(), false);
}

void TestPrintModel::clsStartsAgainAtTheTop()
{
    Form form;
    form.Print(QStringLiteral("one"));
    form.Print(QStringLiteral("two"), Separator::SameLine);
    form.Cls();
    QVERIFY(form.surface()->lines().isEmpty());
    form.Print(QStringLiteral("again"));
    QCOMPARE(form.printModel().lines().at(0).y, 0.0);
    QCOMPARE(form.printModel().lines().at(0).items.at(0).x, 0.0);
}

void TestPrintModel::propertiesReadByName()
{
    Form form;
    form.Print(QStringLiteral("hello"));
    auto *surface = form.findChild<QWidget *>(QStringLiteral("printSurface"));
    QVERIFY(surface);
    QCOMPARE(surface->property("lines").toStringList(), QStringList{"hello"});
    QCOMPARE(surface->property("items").toList().size(), 1);
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
}

static int countRed(const QImage &image)
{
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += (c.red() > 200 && c.green() < 80 && c.blue() < 80) ? 1 : 0;
        }
    return red;
}

void TestPrintModel::textSurvivesResize()
{
    Form form;
    form.setBackColor(0x00FFFFFF);
    form.resize(300, 200);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.setForeColor(255);
    form.setFontSize(14);
    form.Print(QStringLiteral("WWWW"));
    const int before = countRed(form.grab().toImage());
    QVERIFY(before > 20);
    form.resize(120, 80);
    form.resize(400, 300);
    QCOMPARE(countRed(form.grab().toImage()), before);
}

void TestPrintModel::widthIsTheSumOfTheCharacters_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    // Pairs that a kerning font draws closer together.
    QTest::newRow("sans latin") << QStringLiteral("MS Sans Serif") << QStringLiteral("AVATAR To LT") << false;
    QTest::newRow("sans cyrillic") << QStringLiteral("MS Sans Serif") << QStringLiteral("Тут Гу АУ") << false;
    QTest::newRow("sans bold digits") << QStringLiteral("MS Sans Serif") << QStringLiteral("11 71 -1") << true;
    QTest::newRow("mono") << QStringLiteral("Courier New") << QStringLiteral("AVATAR Тут") << false;
}

// Text printed in one piece ends where the same characters printed one by
// one end, so columns of printed text line up whatever the pairs of letters.
void TestPrintModel::widthIsTheSumOfTheCharacters()
{
    QFETCH(QString, family);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    Form whole, apart;
    for (Form *form : {&whole, &apart}) {
        form->printModel().setFamily(family);
        form->setFontSize(12);
        form->setFontBold(bold);
    }
    whole.Print(text, Separator::SameLine);
    for (const QChar c : text)
        apart.Print(QString(c), Separator::SameLine);
    whole.Print(QStringLiteral("|"));
    apart.Print(QStringLiteral("|"));
    const qreal wholeEnd = whole.printModel().lines().at(0).items.last().x;
    QVERIFY(wholeEnd > 0);
    QCOMPARE(wholeEnd, apart.printModel().lines().at(0).items.last().x);
}

void TestPrintModel::designFamiliesDrawTheirSubstitute_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("size");
    QTest::addColumn<bool>("bold");
    QTest::newRow("sans") << QStringLiteral("MS Sans Serif") << 8.25 << false;
    QTest::newRow("sans bold") << QStringLiteral("MS Sans Serif") << 12.0 << true;
    QTest::newRow("mono") << QStringLiteral("Courier New") << 9.75 << false;
    QTest::newRow("mono bold") << QStringLiteral("Courier New") << 14.25 << true;
    QTest::newRow("serif bold") << QStringLiteral("Georgia") << 12.0 << true;
    QTest::newRow("lower case") << QStringLiteral("courier new") << 12.0 << false;
    QTest::newRow("installed face") << QStringLiteral("Liberation Sans") << 10.0 << false;
}

// A design family is drawn with the face the font substitutes would pick,
// and that face is named directly, so it is always an installed one.
void TestPrintModel::designFamiliesDrawTheirSubstitute()
{
    QFETCH(QString, family);
    QFETCH(qreal, size);
    QFETCH(bool, bold);
    const QFont made = TextFont::make(family, size, bold ? QFont::Bold : QFont::Normal);
    QFont substituted(family);
    substituted.setPointSizeF(size);
    substituted.setBold(bold);
    QCOMPARE(QFontInfo(made).family(), QFontInfo(substituted).family());
    QVERIFY2(QFontDatabase::families().contains(made.family()), qPrintable(made.family()));
    QCOMPARE(QFontInfo(made).bold(), bold);
}

void TestPrintModel::wrappedLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns"); // the width, in the monospaced font's characters
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("fits") << "Результат передан." << 18 << QStringList{"Результат передан."};
    QTest::newRow("at blanks, with the indent") << "будет передан учителю позже: нет прав" << 14
                                                << QStringList{"будет передан", "  учителю", "  позже: нет", "  прав"};
    QTest::newRow("a path wider than a line")
        << "папка /srv/school/results" << 10 << QStringList{"папка", "  /srv/sch", "  ool/resu", "  lts"};
    QTest::newRow("blanks run together") << "a   b" << 10 << QStringList{"a b"};
    QTest::newRow("nothing") << "" << 10 << QStringList{""};
}

// A long line under the report goes on below rather than past the window's edge.
void TestPrintModel::wrappedLines()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QStringList, lines);
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFontMetricsF metrics(mono);
    const qreal width = metrics.horizontalAdvance(QString(columns, QLatin1Char('x')));
    QCOMPARE(TextWrap::lines(text, metrics, width, QStringLiteral("  ")), lines);
}

QTEST_MAIN(TestPrintModel)

#include "tst_printmodel.moc"
