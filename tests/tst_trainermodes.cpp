#include "core/convert.h"
#include "core/randomsource.h"
#include "forms/appsetup.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/label.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "trainer.h"
#include "trainertestsupport.h"

#include <QTest>

#include <functional>

namespace {

using Picks = QVector<QPair<int, int>>; // question row, answer row

// A pupil at the dialog who decides by what the window shows.
class PupilInput : public InputProvider
{
public:
    using Decide = std::function<std::optional<QString>(int turn, const QStringList &shown)>;
    PupilInput(TrainerForm &form, Decide decide)
        : m_form(form)
        , m_decide(std::move(decide))
    {}

    std::optional<QString> ask(QWidget *, const QString &prompt) override
    {
        prompts << prompt;
        shownAtDialog << m_form.surface()->lines();
        itemsAtDialog << m_form.surface()->items();
        return m_decide(int(prompts.size()) - 1, m_form.surface()->lines());
    }

    QStringList prompts;
    QList<QStringList> shownAtDialog;
    QList<QVariantList> itemsAtDialog;

private:
    TrainerForm &m_form;
    Decide m_decide;
};

// A pupil's replies to Test 1 and what they should score.
struct ReplyTally
{
    // Replies in the order asked and what each means: 1 yes, 0 no, -1 neither,
    // and Again for no answer, which brings the same turn back.
    static constexpr int Again = -2;
    static const QList<QPair<std::optional<QString>, int>> &mixed()
    {
        static const QList<QPair<std::optional<QString>, int>> replies
            = {{QStringLiteral("1"), 1},      {QStringLiteral("0"), 0},    {QStringLiteral("2"), -1},
               {QStringLiteral("1abc"), 1},   {QStringLiteral("0.5"), 0},  {QStringLiteral("1.5"), -1},
               {QStringLiteral("0.6"), 1},    {QStringLiteral(""), Again}, {std::nullopt, Again},
               {QStringLiteral("да"), Again}, {QStringLiteral("0"), 0},    {QStringLiteral("99999"), -1},
               {QStringLiteral("-1"), -1},    {QStringLiteral(" 1"), 1},   {QStringLiteral("1e9"), -1},
               {QStringLiteral("0,5"), 0},    {QStringLiteral("0"), 0},    {QStringLiteral("1"), 1},
               {QStringLiteral("1"), 1}};
        return replies;
    }

    // "truthful", "contrary" or "mix"
    std::optional<QString> reply(int asked, const QStringList &shown)
    {
        const bool own = shown[1] == QString(shown[0]).replace(QLatin1Char('q'), QLatin1Char('a'));
        int meaning = 0;
        std::optional<QString> text;
        if (kind == QLatin1String("mix")) {
            text = mixed()[asked].first;
            meaning = mixed()[asked].second;
            if (meaning == Again)
                return text;
        } else {
            const bool yes = (kind == QLatin1String("truthful")) == own;
            text = yes ? QStringLiteral("1") : QStringLiteral("0");
            meaning = yes ? 1 : 0;
        }
        matches += own ? 1 : 0;
        if (meaning == 1)
            (own ? right : wrong) += 1;
        if (meaning == 0)
            (own ? wrong : right) += 1;
        return text;
    }

    QString kind;
    int right = 0;
    int wrong = 0;
    int matches = 0;
};

QStringList rows(const ListBox *list)
{
    QStringList texts;
    for (int k = 0; k < list->ListCount(); ++k)
        texts << list->List(k);
    return texts;
}

// Picks where the first `right` steps are right and the rest wrong.
Picks rightThenWrong(int right)
{
    Picks picks;
    for (int k = 0; k < 16; ++k)
        picks.append({k, k < right ? k : (k + 1) % 17});
    return picks;
}

// Chooses a level, ticks a test's box and starts the test.
void startTest(TrainerFixture &t, OptionButton *level, CheckBox *box, CommandButton *button)
{
    t.click(level);
    t.click(box);
    t.click(button);
}

void startTraining(TrainerFixture &t)
{
    TrainerForm &f = t.form();
    t.click(f.Option3);
    if (f.Check1->Value() == 1)
        t.click(f.Check1);
    t.click(f.Check1);
    QVERIFY(f.Command1->isEnabled());
    t.click(f.Command1);
}

// The pairs q0/a0 .. q17/a17.
QStringList entries(QChar kind)
{
    QStringList list;
    for (int k = 0; k < 18; ++k)
        list << kind + QString::number(k);
    return list;
}

// A trainer without a window, on the pairs q0/a0 .. q17/a17.
Trainer topic()
{
    Trainer t;
    t.setTopic(entries(QLatin1Char('q')), entries(QLatin1Char('a')));
    return t;
}

// Training or Test 2 through the picks, each answer picked by its text.
Trainer::Result run(Trainer &t, const Picks &picks, bool test2 = false)
{
    RandomSource random;
    const Trainer::Mode mode = test2 ? Trainer::Mode::Test2 : Trainer::Mode::Training;
    t.startMode();
    test2 ? t.startTest2(random) : t.startTraining();
    for (const auto &[question, answer] : picks) {
        t.pickQuestion(question, mode);
        int row = answer;
        while (test2 && t.answers()[t.answerOrder()[row]] != t.answers()[answer])
            row = (row + 1) % 17;
        t.pickAnswer(row, mode);
    }
    return t.result(mode);
}

// After the report: limit lifted, options and boxes enabled, only "Результат" on.
bool windowAfterReport(TrainerFixture &t)
{
    TrainerForm &f = t.form();
    bool enabled = true;
    for (QWidget *w : std::initializer_list<QWidget *>{f.Option1, f.Option2, f.Option3, f.Check1, f.Check2, f.Check4})
        enabled = enabled && w->isEnabled();
    return f.trainer().timeLimit() == QLatin1String("1:00:00") && t.modeButtons() == QLatin1String("0001") && enabled
        && !f.Text1->Visible() && !f.List1->Visible() && !f.Label1->Visible();
}

void pick(TrainerFixture &t, const Picks &picks)
{
    for (const auto &[question, answer] : picks) {
        t.clickRow(t.form().List1, question);
        t.clickRow(t.form().List2, answer);
    }
}

} // namespace

class TestTrainerModes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void trainingStart();
    void trainingSteps();
    void sameAnswerTextIsRight();
    void trainingReport_data();
    void trainingReport();
    void resultRules_data();
    void resultRules();
    void marksStartAtZeroInEveryRun();
    void tooFewAnswers();
    void test1Turns();
    void test1Replies_data();
    void test1Replies();
    void test1WithoutMatch_data();
    void test1WithoutMatch();
    void test1BlindReplies_data();
    void test1BlindReplies();
    void test1WithoutQuestions();
    void test1EndsWhenWindowCloses();
    void test2SetUp();
    void test2Picks();
    void doubleClick();
    void rowsAboveTwentyIgnored();
};

void TestTrainerModes::initTestCase()
{
    AppSetup::installFontSubstitutes();
}

void TestTrainerModes::trainingStart()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTraining(t);
    QCOMPARE(f.List1->ListCount(), 17);
    QCOMPARE(f.List2->ListCount(), 17);
    QCOMPARE(f.List1->List(16), QStringLiteral("q16"));
    QCOMPARE(f.List2->List(16), QStringLiteral("a16"));
    QCOMPARE(f.List2->Height(), 180);
    QVERIFY(f.List1->Visible() && f.List1->isEnabled());
    QVERIFY(f.List2->Visible() && !f.List2->isEnabled());
    QCOMPARE(t.modeButtons(), QStringLiteral("0000"));
    QCOMPARE(t.modeBoxes(), QStringLiteral("100"));
    QVERIFY(t.printed().isEmpty());
}

void TestTrainerModes::trainingSteps()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTraining(t);

    t.clickRow(f.List1, 3);
    QCOMPARE(t.printed(), QStringList{"q3 3 "});
    QVERIFY(!f.List1->isEnabled() && f.List2->isEnabled());
    t.clickRow(f.List2, 3);
    QCOMPARE(t.printed(), (QStringList{"q3 3 ", "a3 верно", " 1 "}));
    QVERIFY(f.List1->isEnabled() && !f.List2->isEnabled());

    t.clickRow(f.List1, 5);
    t.clickRow(f.List2, 6); // wrong: only the step number
    QCOMPARE(t.printed(), (QStringList{"q5 5 ", " 2 "}));
    QCOMPARE(f.trainer().errorCount(), qint16(1));
    QCOMPARE(f.trainer().marks()[5], qint16(0));

    // Questions 2..14, 3 and 5 again among them: those two score nothing more.
    pick(t, rightThenWrong(13).mid(2, 13));
    QCOMPARE(f.trainer().answeredCount(), qint16(15));
    QCOMPARE(f.trainer().marks()[5], qint16(0));
    t.clickRow(f.List1, 16);
    t.clickRow(f.List2, 16);
    QCOMPARE(t.printed(), (QStringList{"всё", " 11 \t 11 "}));
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));
    QVERIFY(!f.List2->isEnabled());
    // A 17th question click is ignored.
    t.clickRow(f.List1, 4);
    QCOMPARE(f.trainer().answeredCount(), qint16(16));
    QCOMPARE(t.printed(), (QStringList{"всё", " 11 \t 11 "}));
    QCOMPARE(f.trainer().errorCount(), qint16(3));
}

void TestTrainerModes::sameAnswerTextIsRight()
{
    // Another row with the same text is right, and so are two empty rows, as
    // in a topic of 16 pairs.
    Trainer t;
    QStringList questions = entries(QLatin1Char('q'));
    QStringList answers = entries(QLatin1Char('a'));
    answers[9] = answers[2];
    answers[16].clear();
    questions[16].clear();
    t.setTopic(questions, answers);
    run(t, {{2, 9}, {16, 16}});
    QCOMPARE(t.correctCount(), qint16(2));
}

void TestTrainerModes::trainingReport_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("grade");
    QTest::newRow("16 right") << 16 << " 100"
                              << "5";
    QTest::newRow("none right") << 0 << " 0"
                                << "1";
}

void TestTrainerModes::trainingReport()
{
    QFETCH(int, right);
    QFETCH(QString, percent);
    QFETCH(QString, grade);
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTraining(t);
    // Wrong picks come first: each one counts once, however many right picks follow.
    Picks picks = rightThenWrong(right);
    std::rotate(picks.begin(), picks.begin() + right, picks.end());
    pick(t, picks);
    QCOMPARE(f.trainer().correctCount(), qint16(right));
    QCOMPARE(f.trainer().errorCount(), qint16(16 - right));
    QVERIFY(f.Command3->isEnabled());
    t.click(f.Command3);

    QStringList expected;
    for (int row = 0; row <= 16; ++row) {
        const bool pickedRight = row < right;
        expected << QStringLiteral("a%1 %2").arg(row).arg(pickedRight ? 1 : 0);
    }
    if (right > 0) {
        expected << QStringLiteral(" %1 cовпало").arg(right);
    } else {
        expected << QStringLiteral("Совпадений ") << QStringLiteral("не было");
    }
    expected << percent + QStringLiteral("% правильных ответов,")
             << QStringLiteral(" ошибок -  %1\tоценка %2").arg(16 - right).arg(grade);
    QCOMPARE(t.printed(), expected);
    QCOMPARE(f.trainer().grade(), grade);
    QCOMPARE(f.List1->ListCount(), right > 0 ? 17 : 19);
    QCOMPARE(f.List1->List(0), QStringLiteral("q0"));
    QCOMPARE(f.List1->ForeColor(), 255u);
    QCOMPARE(rows(f.List2).last(), QStringLiteral("оценка ") + grade);
    QCOMPARE(f.List2->FontSize(), 14.0);
    // The summary lines are red at size 14; the rows in the design colour at 11.
    const QVariantMap firstRow = f.surface()->items().first().toMap();
    QCOMPARE(firstRow.value("color").toUInt(), 0x00FFFF80u);
    QCOMPARE(firstRow.value("size").toDouble(), 11.0);
    const QVariantMap gradeItem = f.surface()->items().last().toMap();
    QCOMPARE(gradeItem.value("color").toUInt(), 255u);
    QCOMPARE(gradeItem.value("size").toDouble(), 14.0);
    QVERIFY(windowAfterReport(t));
    if (right == 0) {
        for (int k = 0; k <= 16; ++k)
            QCOMPARE(f.trainer().marks()[k], qint16(0));
    }
}

void TestTrainerModes::resultRules_data()
{
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<bool>("test2");
    QTest::addColumn<QString>("summary"); // the match lines, percent, errors and grade
    QTest::newRow("13 right") << rightThenWrong(13) << false << " 13 cовпало/ 81.25/ 3/4";
    QTest::newRow("8 right") << rightThenWrong(8) << false << " 8 cовпало/ 50/ 8/3";
    QTest::newRow("7 right") << rightThenWrong(7) << false << " 7 cовпало/ 43.75/ 9/2";
    QTest::newRow("4 right") << rightThenWrong(4) << false << " 4 cовпало/ 25/ 12/1";
    // A question scores once per run, however often it is picked.
    QTest::newRow("training, one right pair 16 times") << Picks(16, {0, 0}) << false << " 1 cовпало/ 6.25/ 0/1";
    QTest::newRow("test 2, one right pair 16 times") << Picks(16, {0, 0}) << true << " 1 cовпало/ 6.25/ 0/1";
    Picks wrongFirst(16, {0, 0});
    wrongFirst[0] = {0, 1};
    QTest::newRow("wrong, then right 15 times") << wrongFirst << false << "Совпадений /не было/ 0/ 1/1";
}

void TestTrainerModes::resultRules()
{
    QFETCH(Picks, picks);
    QFETCH(bool, test2);
    QFETCH(QString, summary);
    Trainer t = topic();
    const Trainer::Result r = run(t, picks, test2);
    QCOMPARE(r.rows.first(), QStringLiteral("a0 %1").arg(picks.first().second == 0 ? 1 : 0));
    QStringList lines = summary.split(QLatin1Char('/'));
    QCOMPARE(r.gradeLine, QStringLiteral("оценка ") + lines.takeLast());
    QCOMPARE(r.errorLine, QStringLiteral(" ошибок - ") + lines.takeLast());
    QCOMPARE(r.percentLine, lines.takeLast() + QStringLiteral("% правильных ответов,"));
    QCOMPARE(r.matchLines + r.noMatchLines, lines);
}

void TestTrainerModes::marksStartAtZeroInEveryRun()
{
    Trainer t = topic();
    QCOMPARE(run(t, rightThenWrong(16)).rows.at(7), QStringLiteral("a7 1"));
    // The second run only ever picks row 0: no other row may keep the old mark.
    const QStringList rows = run(t, Picks(16, {0, 0})).rows;
    for (int row = 0; row <= 16; ++row)
        QCOMPARE(rows.at(row), QStringLiteral("a%1 %2").arg(row).arg(row == 0 ? 1 : 0));
}

void TestTrainerModes::tooFewAnswers()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTraining(t);
    pick(t, rightThenWrong(15).mid(0, 15));
    QTest::mouseDClick(f.surface(), Qt::LeftButton, {}, QPoint(770, 590));
    QTest::mouseDClick(f.surface(), Qt::LeftButton, {}, QPoint(770, 590)); // runs the report
    QCOMPARE(t.printed(), QStringList{"Должно быть 16 ответов"});
    QCOMPARE(rows(f.List2), QStringList{"Должно быть 16 ответов"});
    const QVariantMap item = f.surface()->items().first().toMap();
    QCOMPARE(item.value("color").toUInt(), 255u);
    QCOMPARE(item.value("size").toDouble(), 14.0);
    QCOMPARE(f.trainer().grade(), QString());
    QCOMPARE(f.trainer().percent(), 0.0f);
}

void TestTrainerModes::test1Turns()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    PupilInput pupil(f, [](int, const QStringList &) { return QStringLiteral("1"); });
    f.setInputProvider(&pupil);
    startTest(t, f.Option2, f.Check2, f.Command2);

    QCOMPARE(pupil.prompts, QStringList(16, QStringLiteral("да - 1 или нет - 0")));
    for (int turn = 0; turn < 16; ++turn) {
        const QStringList &shown = pupil.shownAtDialog[turn];
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], QStringLiteral("q%1").arg(turn));
        QCOMPARE(shown[1], QStringLiteral("a%1").arg(f.trainer().drawn()[turn]));
        QVERIFY(f.trainer().drawn()[turn] >= 0 && f.trainer().drawn()[turn] <= 15);
        const QVariantMap question = pupil.itemsAtDialog[turn][0].toMap();
        const QVariantMap candidate = pupil.itemsAtDialog[turn][1].toMap();
        QCOMPARE(question.value("color").toUInt(), 4444444u);
        QCOMPARE(question.value("size").toDouble(), 12.0);
        QCOMPARE(question.value("bold").toBool(), true);
        QCOMPARE(candidate.value("color").toUInt(), 7444444u);
        QCOMPARE(f.trainer().replyTexts()[turn], QStringLiteral("1"));
    }
    QCOMPARE(f.trainer().answeredCount(), qint16(16));
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));
    QCOMPARE(t.modeBoxes(), QStringLiteral("010"));
    QVERIFY(f.List1->Visible() && f.List1->isEnabled() && f.List2->Visible() && f.List2->isEnabled());
    QCOMPARE(f.FontBold(), false);
    QCOMPARE(f.trainer().questionPicked(), qint16(0));
}

void TestTrainerModes::test1Replies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("truthful") << "truthful";
    QTest::newRow("contrary") << "contrary";
    QTest::newRow("hostile mix") << "mix";
}

void TestTrainerModes::test1Replies()
{
    QFETCH(QString, kind);
    ReplyTally tally{kind};
    int &right = tally.right, &wrong = tally.wrong, &matches = tally.matches;
    const QList<QPair<std::optional<QString>, int>> &mix = ReplyTally::mixed();
    TrainerFixture t;
    TrainerForm &f = t.form();
    PupilInput pupil(f, [&tally](int asked, const QStringList &shown) { return tally.reply(asked, shown); });
    f.setInputProvider(&pupil);
    startTest(t, f.Option1, f.Check2, f.Command2);

    QCOMPARE(f.trainer().correctCount(), qint16(right));
    QCOMPARE(f.trainer().errorCount(), qint16(wrong));
    QCOMPARE(f.trainer().matchCount(), qint16(matches));
    if (kind == QLatin1String("truthful"))
        QCOMPARE(right, 16);
    if (kind == QLatin1String("contrary"))
        QCOMPARE(wrong, 16);
    if (kind == QLatin1String("mix")) {
        QCOMPARE(pupil.prompts.size(), mix.size());
        // No answer asked the eighth question again, with the same candidate shown.
        for (int again = 8; again <= 10; ++again)
            QCOMPARE(pupil.shownAtDialog[again], pupil.shownAtDialog[7]);
        QCOMPARE(f.trainer().replyTexts()[7], QStringLiteral("0"));
        QCOMPARE(f.trainer().replyTexts()[3], QStringLiteral("1abc"));
        QCOMPARE(f.trainer().marks()[6], qint16(1));
        QCOMPARE(f.trainer().marks()[5], qint16(2));
        QVERIFY(right + wrong < 16);
    }

    t.click(f.Command3);
    const QStringList lines = t.printed();
    // Test 1 rows are empty: 17 empty lines before the summary.
    QCOMPARE(lines.mid(0, 17), QStringList(17, QString()));
    const float percent = float(right / 16.0 * 100.0);
    if (matches > 0)
        QCOMPARE(lines[17], QStringLiteral(" %1 cовпало").arg(matches));
    else
        QCOMPARE(lines.mid(17, 2), (QStringList{"Совпадений ", "не было"}));
    QCOMPARE(lines.at(lines.size() - 2), Convert::numberText(percent) + QStringLiteral("% правильных ответов,"));
    QVERIFY(lines.last().startsWith(QStringLiteral(" ошибок - ") + Convert::numberText(wrong) + QLatin1Char('\t')));
    QCOMPARE(f.trainer().percent(), percent);
}

void TestTrainerModes::test1WithoutMatch_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("grade");
    QTest::newRow("every reply right") << "0"
                                       << "5";
    QTest::newRow("every reply wrong") << "1"
                                       << "1";
}

void TestTrainerModes::test1WithoutMatch()
{
    QFETCH(QString, reply);
    QFETCH(QString, grade);
    // Find a seed whose draw never shows a question its own answer: about one
    // in 65536, so the seeds are tried on the draws alone first.
    for (quint32 seed = 1; seed < 1000000; ++seed) {
        RandomSource draws;
        draws.setFixedSeed(seed);
        draws.reseed(0);
        bool ownShown = false;
        for (int turn = 0; turn < 16 && !ownShown; ++turn)
            ownShown = draws.draw() < 0.5;
        if (ownShown)
            continue;
        TrainerFixture t;
        TrainerForm &f = t.form();
        f.random().setFixedSeed(seed);
        PupilInput pupil(f, [&](int, const QStringList &) { return reply; });
        f.setInputProvider(&pupil);
        startTest(t, f.Option1, f.Check2, f.Command2);
        if (f.trainer().matchCount() != 0)
            continue;
        t.click(f.Command3);
        const QStringList lines = t.printed();
        QCOMPARE(lines.mid(17, 2), (QStringList{"Совпадений ", "не было"}));
        QCOMPARE(rows(f.List1).mid(17), (QStringList{"Совпадений ", "не было"}));
        // Graded on the replies: no longer 100 % whatever was typed.
        QCOMPARE(f.trainer().grade(), grade);
        QCOMPARE(f.trainer().percent(), grade == QLatin1String("5") ? 100.0f : 0.0f);
        return;
    }
    QFAIL("no seed without a match");
}

void TestTrainerModes::test1BlindReplies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::newRow("always 0") << "0";
    QTest::newRow("always 1") << "1";
}

// The same reply typed at every turn without reading scores about half.
void TestTrainerModes::test1BlindReplies()
{
    QFETCH(QString, reply);
    const int runs = 400;
    int right = 0;
    int own = 0;
    RandomSource random;
    for (int run = 0; run < runs; ++run) {
        Trainer t = topic();
        t.startMode();
        t.startTest1();
        for (int turn = 0; turn < 16; ++turn) {
            t.startTurn(turn, random);
            t.scoreReply(turn, reply, reply.toDouble());
        }
        right += t.correctCount();
        own += t.matchCount();
    }
    // 6400 turns: 0.45..0.55 is eight standard deviations either side of a half.
    QVERIFY2(right > runs * 16 * 0.45 && right < runs * 16 * 0.55, qPrintable(QString::number(right)));
    QVERIFY2(own > runs * 16 * 0.45 && own < runs * 16 * 0.55, qPrintable(QString::number(own)));
}

void TestTrainerModes::test1WithoutQuestions()
{
    TrainerFixture t(QByteArray(), TrainerFixture::numberedLines("a", 18));
    TrainerForm &f = t.form();
    startTest(t, f.Option1, f.Check2, f.Command2);
    QVERIFY(t.input().prompts().isEmpty());
    QCOMPARE(rows(f.List2), QStringList{"Нажмите клавишу ОБУЧЕНИЕ"});
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));
    t.click(f.Command3);
    QCOMPARE(t.printed(), (QStringList{"Ишь чего захотел.", "Нажмите клавишу ОБУЧЕНИЕ", "затем клавишу ТЕСТ"}));
    QCOMPARE(f.trainer().rowText(), QStringLiteral("затем клавишу ТЕСТ"));
    QCOMPARE(f.List2->ListCount(), 0);
}

void TestTrainerModes::test1EndsWhenWindowCloses()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    // The window is closed while the third dialog is open; the dialog then
    // returns as cancelled, and nothing more may be asked.
    PupilInput pupil(f, [&f](int asked, const QStringList &) -> std::optional<QString> {
        if (asked < 2 || asked > 10) // past 10: the loop went on, and the count below fails
            return QStringLiteral("1");
        f.close();
        return std::nullopt;
    });
    f.setInputProvider(&pupil);
    startTest(t, f.Option1, f.Check2, f.Command2);
    QCOMPARE(pupil.prompts.size(), 3);
    QCOMPARE(f.trainer().replyTexts()[2], QString());
}

void TestTrainerModes::test2SetUp()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTest(t, f.Option2, f.Check4, f.Command6);
    QCOMPARE(rows(f.List1).mid(0, 2), (QStringList{"q0", "q1"}));
    QCOMPARE(f.List1->ListCount(), 17);
    // All 17 answers, each once, in an order of its own.
    QStringList answers = rows(f.List2);
    QCOMPARE(answers.size(), 17);
    for (int p = 0; p <= 16; ++p)
        QCOMPARE(answers[p], QStringLiteral("a%1").arg(f.trainer().answerOrder()[p]));
    QVERIFY(answers != rows(f.List1).replaceInStrings(QStringLiteral("q"), QStringLiteral("a")));
    answers.sort();
    QStringList all;
    for (int k = 0; k <= 16; ++k)
        all << QStringLiteral("a%1").arg(k);
    all.sort();
    QCOMPARE(answers, all);
    QCOMPARE(t.modeButtons(), QStringLiteral("0000"));
    QCOMPARE(t.modeBoxes(), QStringLiteral("001"));
    QVERIFY(f.List1->isEnabled() && !f.List2->isEnabled());
    QCOMPARE(f.List2->Height(), 180);
}

void TestTrainerModes::test2Picks()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTest(t, f.Option2, f.Check4, f.Command6);
    auto rowOf = [&f](int answer) { return int(rows(f.List2).indexOf(QStringLiteral("a%1").arg(answer))); };

    // Questions 0..9 right, 10..15 wrong.
    for (int q = 0; q < 16; ++q) {
        t.clickRow(f.List1, q);
        if (q == 0)
            QCOMPARE(t.printed(), QStringList{"q0"}); // the question alone, no row number
        t.clickRow(f.List2, q < 10 ? rowOf(q) : rowOf(q + 1));
        if (q < 15)
            QCOMPARE(t.printed(), (QStringList{QStringLiteral("q%1").arg(q), Convert::numberText(q + 1) + " "}));
    }
    QCOMPARE(t.printed(), (QStringList{"всё", " 10 \t 10 "}));
    QCOMPARE(f.trainer().correctCount(), qint16(10));
    QCOMPARE(f.trainer().errorCount(), qint16(6));
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));

    t.click(f.Command3);
    const QStringList lines = t.printed();
    for (int row = 0; row <= 16; ++row)
        QCOMPARE(lines[row], QStringLiteral("a%1 %2").arg(row).arg(row < 10 ? 1 : 0));
    QCOMPARE(lines.mid(17), (QStringList{" 10 cовпало", " 62.5% правильных ответов,", " ошибок -  6\tоценка 3"}));
}

void TestTrainerModes::doubleClick()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    const QList<QWidget *> nine
        = {f.Command1, f.Command2, f.Command3, f.Command6, f.List1, f.List2, f.Label1, f.Label2, f.Text1};
    const QPoint free(770, 590);
    QCOMPARE(f.childAt(free), static_cast<QWidget *>(f.surface()));
    f.Text1->hide();
    f.List1->hide();
    QTest::mouseDClick(f.surface(), Qt::LeftButton, {}, free);
    for (QWidget *w : nine)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    QCOMPARE(f.trainer().controlsShown(), qint16(-1));
    QCOMPARE(t.modeButtons(), QStringLiteral("0000")); // only visibility changes

    QTest::mouseDClick(f.surface(), Qt::LeftButton, {}, free);
    for (QWidget *w : nine)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QCOMPARE(f.trainer().controlsShown(), qint16(0));
    QCOMPARE(t.printed(), QStringList{"Должно быть 16 ответов"});
    QCOMPARE(t.modeButtons(), QStringLiteral("0001"));
}

void TestTrainerModes::rowsAboveTwentyIgnored()
{
    TrainerFixture t;
    TrainerForm &f = t.form();
    startTraining(t);
    for (int k = 17; k < 30; ++k)
        f.List1->AddItem(QStringLiteral("extra %1").arg(k));
    t.clickRow(f.List1, 25);
    QCOMPARE(f.trainer().answeredCount(), qint16(0));
    QVERIFY(t.printed().isEmpty());
    QVERIFY(f.List1->isEnabled());
    t.clickRow(f.List1, 20); // the last row the pick arrays can hold
    QCOMPARE(f.trainer().answeredCount(), qint16(1));
    for (int k = 17; k < 30; ++k)
        f.List2->AddItem(QStringLiteral("extra %1").arg(k));
    t.clickRow(f.List2, 21);
    QCOMPARE(f.trainer().answeredCount(), qint16(1));
    QVERIFY(f.List2->isEnabled());
    QCOMPARE(t.printed(), QStringList{" 20 "}); // no question 20 in the file
}

QTEST_MAIN(TestTrainerModes)
#include "tst_trainermodes.moc"
