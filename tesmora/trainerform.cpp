#include "trainerform.h"

#include "checkbox.h"
#include "clock.h"
#include "commandbutton.h"
#include "convert.h"
#include "formtimer.h"
#include "label.h"
#include "listbox.h"
#include "optionbutton.h"
#include "pngresource.h"
#include "ppmresource.h"
#include "printsurface.h"
#include "randomsource.h"
#include "sequentialfile.h"
#include "textbox.h"

#include <QCoreApplication>
#include <QDir>

namespace {

constexpr quint32 kDesignColor = 0x00FFFF80; // light cyan
constexpr quint32 kRed = 255;
constexpr quint32 kQuestionListColor = 5444444;
constexpr quint32 kAnswerListColor = 6444;
constexpr quint32 kHelpGreen = 4444444;
constexpr quint32 kHelpOrange = 25555;
constexpr quint32 kTest1Question = 4444444;
constexpr quint32 kTest1Candidate = 7444444;
constexpr qint16 kTrue = -1;
constexpr int kSteps = 16;   // questions asked in every mode
constexpr int kLastRow = 16; // the lists show rows 0..16
const QString kNoQuestionsHint = QStringLiteral("Нажмите клавишу ОБУЧЕНИЕ");

const QString kCourier = QStringLiteral("Courier New");
const QString kSansSerif = QStringLiteral("MS Sans Serif");

} // namespace

TrainerForm::TrainerForm(const QString &dataFolder, QWidget *parent)
    : Form(parent)
    , m_dataFolder(dataFolder)
{
    setWindowTitle(QStringLiteral("Tesmora"));
    setWindowIcon(PngResource::icon({QStringLiteral(":/tesmora/icon32.png"), QStringLiteral(":/tesmora/icon16.png")}));
    setClientSize(11745, 9075);
    setBackColor(0x00000000);
    surface()->setPicture(PpmResource::image(QStringLiteral(":/tesmora/picture.ppm")));
    printModel().setFamily(kCourier);
    setForeColor(kDesignColor);
    setFontSize(11.25);
    buildControls();
}

QString TrainerForm::defaultDataFolder()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tesmora"));
}

void TrainerForm::buildControls()
{
    auto button = [this](const char *name, const QString &caption, int l, int t, int w, int h, const QString &family,
                         qreal size, bool bold) {
        auto *b = new CommandButton(QString::fromLatin1(name), caption, this);
        // The font first: a caption is fitted to its button in the font it is drawn in.
        b->setFontSpec(family, size, bold);
        b->Move(l, t, w, h);
        return b;
    };
    auto box = [this](const char *name, int l, int t, int w, int h, const QString &family, qreal size, bool bold) {
        auto *c = new CheckBox(QString::fromLatin1(name), this);
        c->Move(l, t, w, h);
        c->setFontSpec(family, size, bold);
        return c;
    };
    auto list = [this](const char *name, int l, int t, int w, int h) {
        auto *lb = new ListBox(QString::fromLatin1(name), this);
        lb->setFontSpec(kCourier, 9.75); // before its place: a list is at least one row high
        lb->Move(l, t, w, h);
        lb->setBackColor(0x00E0E0E0);
        return lb;
    };
    auto heading = [this](const char *name, const QString &caption, int l, int t, int w, int h) {
        auto *lab = new Label(QString::fromLatin1(name), caption, this);
        lab->Move(l, t, w, h);
        lab->setFontSpec(kCourier, 14.25, true);
        lab->setBackColor(0x00000000);
        lab->setForeColor(0x00FFFFFF);
        return lab;
    };
    auto option = [this](const char *name, const QString &caption, int l) {
        auto *o = new OptionButton(QString::fromLatin1(name), caption, this);
        o->Move(l, 4200, 1095, 375);
        o->setFontSpec(kCourier, 12);
        o->setBackColor(0x00000000);
        o->setForeColor(0x00FFFFFF);
        return o;
    };

    Command1 = button("Command1", QStringLiteral("Обучение"), 240, 7440, 1215, 615, kSansSerif, 9.75, false);
    Command2 = button("Command2", QStringLiteral("Тест1 да/нет"), 2280, 7440, 1215, 615, kSansSerif, 9.75, false);
    Command3 = button("Command3", QStringLiteral("Результат"), 6960, 7440, 1335, 615, kSansSerif, 9.75, false);
    Command4 = button("Command4", QStringLiteral("Выход"), 9360, 7920, 1215, 420, kSansSerif, 12, true);
    Check1 = box("Check1", 720, 8160, 255, 255, kSansSerif, 8.25, false);
    Check2 = box("Check2", 2760, 8160, 255, 255, kSansSerif, 8.25, false);
    Command5 = button("Command5", QStringLiteral("Справка"), 9360, 7440, 1215, 375, kSansSerif, 9.75, false);
    List1 = list("List1", 120, 1920, 11535, 2190);
    List2 = list("List2", 120, 4560, 11535, 2670);
    Command6 = button("Command6", QStringLiteral("Тест2 выбор"), 4560, 7440, 1215, 615, kCourier, 9.75, true);
    Check4 = box("Check4", 5040, 8160, 255, 240, kCourier, 9.75, true);
    Label1 = heading("Label1", QStringLiteral("Вопросы"), 240, 1560, 1335, 375);
    Label2 = heading("Label2", QStringLiteral("Ответы"), 240, 4200, 1455, 375);
    Check3 = box("Check3", 7560, 8160, 255, 270, kCourier, 12, true);
    Text1 = new TextBox(QStringLiteral("Text1"), this);
    Text1->Move(8760, 720, 2535, 1215);
    Text1->setFontSpec(kCourier, 11.25, true);
    Option1 = option("Option1", QStringLiteral("1 мин"), 7200);
    Option2 = option("Option2", QStringLiteral("2 мин"), 8400);
    Option3 = option("Option3", QStringLiteral("5 мин"), 9600);
    Timer1 = new FormTimer(QStringLiteral("Timer1"), &clock(), this);

    // The bare check boxes are named after the button above them.
    Check1->setAccessibleName(Command1->Caption());
    Check2->setAccessibleName(Command2->Caption());
    Check4->setAccessibleName(Command6->Caption());
    Check3->setAccessibleName(Command3->Caption());
    List1->setAccessibleName(Label1->text());
    List2->setAccessibleName(Label2->text());
    Text1->setAccessibleName(QStringLiteral("Дата и время"));

    const QList<QWidget *> tabOrder
        = {Command1, Command2, Command3, Command4, Check1, Check2, Command5, List1,   List2,
           Command6, Check4,   Label1,   Label2,   Check3, Text1,  Option1,  Option2, Option3};
    for (int k = 0; k + 1 < tabOrder.size(); ++k)
        QWidget::setTabOrder(tabOrder[k], tabOrder[k + 1]);

    connect(Command1, &CommandButton::Click, this, &TrainerForm::Command1_Click);
    connect(Command2, &CommandButton::Click, this, &TrainerForm::Command2_Click);
    connect(Command3, &CommandButton::Click, this, &TrainerForm::Command3_Click);
    connect(Command6, &CommandButton::Click, this, &TrainerForm::Command6_Click);
    connect(List1, &ListBox::Click, this, &TrainerForm::List1_Click);
    connect(List2, &ListBox::Click, this, &TrainerForm::List2_Click);
    connect(Check1, &CheckBox::Click, this, &TrainerForm::Check1_Click);
    connect(Check2, &CheckBox::Click, this, &TrainerForm::Check2_Click);
    connect(Check3, &CheckBox::Click, this, &TrainerForm::Check3_Click);
    connect(Check4, &CheckBox::Click, this, &TrainerForm::Check4_Click);
    connect(Option1, &OptionButton::Click, this, &TrainerForm::Option1_Click);
    connect(Option2, &OptionButton::Click, this, &TrainerForm::Option2_Click);
    connect(Option3, &OptionButton::Click, this, &TrainerForm::Option3_Click);
    connect(Command4, &CommandButton::Click, this, &TrainerForm::Command4_Click);
    connect(Command5, &CommandButton::Click, this, &TrainerForm::Command5_Click);
    connect(Timer1, &FormTimer::Timer, this, &TrainerForm::Timer1_Timer);
}

void TrainerForm::clockChanged()
{
    Timer1->setClock(&clock());
}

void TrainerForm::restartClock()
{
    startTime = clock().timeOfDaySingle();
    Timer1->followSpanFrom(startTime);
}

void TrainerForm::Form_Load()
{
    Check3->hide();
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    Command3->setEnabled(false);
    Command6->setEnabled(false);
    List2->setEnabled(false);
    Option3->setValue(false);
    Option1->setValue(false);
    Option2->setValue(false);
    errorCount = 0;
    correctCount = 0;
    controlsShown = 0;
    pickedAnswer = 0;
    matchCount = 0;
    grade.clear();
    percent = 0;
    for (loopIndex = 0; loopIndex <= 16; ++loopIndex) {
        drawn[loopIndex] = 0;
        marks[loopIndex] = 0;
    }
    pickedQuestion = 0;
    questionPicked = 0;
    answerPicked = 0;
    clearLists();
    readTopicFile(QStringLiteral("test.txt"), QStringLiteral("вопросов"), questions);
    readTopicFile(QStringLiteral("test1.txt"), QStringLiteral("ответов"), answers);
    List1->hide();
    List2->hide();
    restartClock();
    timeLimit = QStringLiteral("1:00:00");
    Text1->ZOrder();

    for (const QString &message : std::as_const(m_loadMessages))
        Print(message);
}

void TrainerForm::readTopicFile(const QString &fileName, const QString &what, std::array<QString, FileEntries> &entries)
{
    const QString path = QDir(m_dataFolder).filePath(fileName);
    SequentialFile file;
    switch (file.open(path)) {
    case SequentialFile::Status::Missing:
        m_loadMessages << QStringLiteral("Не найден файл %1: %2").arg(what, path);
        return;
    case SequentialFile::Status::NotAFile:
        m_loadMessages << QStringLiteral("Вместо файла %1 стоит папка: %2").arg(what, path);
        return;
    case SequentialFile::Status::Unreadable:
        m_loadMessages << QStringLiteral("Не удалось прочитать файл %1: %2").arg(what, path);
        return;
    case SequentialFile::Status::Open:
    case SequentialFile::Status::Closed:
        break;
    }
    loopIndex = 0;
    while (!file.atEnd() && loopIndex < FileEntries) {
        entries[loopIndex] = file.readField();
        ++loopIndex;
    }
    if (!file.atEnd() || file.truncated())
        m_loadMessages << QStringLiteral("В файле %1 больше %2 записи, лишние не загружены: %3")
                              .arg(what)
                              .arg(FileEntries)
                              .arg(path);
    file.close();
}

bool TrainerForm::levelChosen() const
{
    return Option3->Value() || Option1->Value() || Option2->Value();
}

void TrainerForm::modeBoxClick(CheckBox *box, CommandButton *button,
                               std::initializer_list<CommandButton *> disableWithoutLevel,
                               std::initializer_list<CommandButton *> disableWithLevel,
                               std::initializer_list<CheckBox *> boxesToClear)
{
    if (levelChosen()) {
        button->setEnabled(true);
        for (CommandButton *other : disableWithLevel)
            other->setEnabled(false);
    } else {
        for (CommandButton *b : disableWithoutLevel)
            b->setEnabled(false);
        Cls();
        setForeColor(kRed);
        setFontSize(14);
        setFontBold(true);
        Print(QStringLiteral("Выберите уровень!"));
        setForeColor(kDesignColor);
        setFontBold(false);
    }
    if (box->Value() == 0)
        button->setEnabled(false);
    for (CheckBox *other : boxesToClear)
        other->setValue(0);
    restartClock();
    Text1->show();
}

void TrainerForm::Check1_Click()
{
    modeBoxClick(Check1, Command1, {Command1, Command2, Command3, Command6}, {Command2, Command3, Command6},
                 {Check2, Check3, Check4});
}

void TrainerForm::Check2_Click()
{
    modeBoxClick(Check2, Command2, {Command2, Command1, Command3, Command6}, {Command1, Command3, Command6},
                 {Check1, Check3, Check4});
}

void TrainerForm::Check4_Click()
{
    modeBoxClick(Check4, Command6, {Command3, Command1, Command2, Command6}, {Command2, Command3, Command1},
                 {Check2, Check1, Check3});
}

void TrainerForm::Check3_Click()
{
    Command3->setEnabled(true);
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    if (Check3->Value() == 0)
        Command3->setEnabled(false);
    Label2->show();
    Label1->show();
    Check4->setValue(0);
    Check2->setValue(0);
    Check1->setValue(0);
}

void TrainerForm::optionClick(const QString &limit, OptionButton *other1, OptionButton *other2)
{
    timeLimit = limit;
    restartClock();
    other1->setEnabled(false);
    other2->setEnabled(false);
}

void TrainerForm::Option1_Click()
{
    optionClick(QStringLiteral("0:00:60"), Option2, Option3);
}

void TrainerForm::Option2_Click()
{
    optionClick(QStringLiteral("0:02:00"), Option3, Option1);
}

void TrainerForm::Option3_Click()
{
    optionClick(QStringLiteral("0:05:00"), Option1, Option2);
}

void TrainerForm::Timer1_Timer()
{
    Text1->setText(clockLine(startTime));

    // The limit is compared as a duration: "0:00:60" is sixty seconds.
    const qint64 elapsed = Convert::elapsedSeconds(clock().timeOfDay(), startTime);
    const std::optional<qint64> limit = Convert::spanSeconds(timeLimit);
    if (limit && elapsed >= *limit) {
        Cls();
        Print(QStringLiteral("Ваше время истекло. Нажмите -Результат-"));
        timeLimit = QStringLiteral("1:00:00");
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        Command6->setEnabled(false);
        Check1->setEnabled(false);
        Check2->setEnabled(false);
        Check4->setEnabled(false);
        Command3->setEnabled(true);
        List2->hide();
        List1->hide();
    }
    Timer1->followSpanFrom(startTime);
}

void TrainerForm::Command5_Click()
{
    List1->show();
    List2->show();
    List1->setEnabled(true);
    List2->setEnabled(true);
    List1->Clear();
    List2->Clear();
    List2->setFontSize(12);
    List2->setForeColor(kHelpGreen);
    if (questionPicked != 0 || answerPicked != 0) {
        List2->setForeColor(kRed);
        List2->setFontBold(true);
        List2->AddItem(QStringLiteral("Сказано же, "));
    } else {
        List2->AddItem(QStringLiteral("Нажимай кнопки и работай, "));
    }
    List2->AddItem(QStringLiteral("работай и работай!"));
    List2->AddItem(QStringLiteral("Для ТЕСТ1 при совпадении"));
    List2->AddItem(QStringLiteral("введите 1-да, либо 0-нет"));
    List2->setForeColor(kHelpOrange);
    List2->AddItem(QStringLiteral("Для ТЕСТ2 кликни мышкой"));
    List2->AddItem(QStringLiteral("сначала вопрос,"));
    List2->AddItem(QStringLiteral("затем ответ."));
    List2->setFontBold(false);
    questionPicked = kTrue;
}

void TrainerForm::Command4_Click()
{
    List1->Clear();
    List2->Clear();
    List1->hide();
    List2->hide();
    End();
}

void TrainerForm::startMode()
{
    answeredCount = 0;
    List2->setFontBold(false);
    List2->setFontSize(11);
    errorCount = 0;
    correctCount = 0;
    clearMarks();
    restartClock();
    Label2->show();
    Label1->show();
}

void TrainerForm::clearLists()
{
    List1->Clear();
    List1->setForeColor(kQuestionListColor);
    List1->setFontSize(11);
    List2->Clear();
    List2->setForeColor(kAnswerListColor);
    List2->setFontSize(11);
}

void TrainerForm::clearMarks()
{
    // A new run must not report the marks of an earlier one.
    for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
        marks[loopIndex] = 0;
    scored.fill(false);
}

bool TrainerForm::pickedRowUsable(const ListBox *list) const
{
    // Rows above 20 cannot be recorded in the pick arrays; such a click is ignored.
    const int row = list->ListIndex();
    return row >= 0 && row < Rows;
}

void TrainerForm::scorePick(bool right)
{
    // A question counts once per run: picking it again is a step, but adds
    // no match and no error and leaves its mark as it was.
    if (scored[pickedQuestion])
        return;
    scored[pickedQuestion] = true;
    if (right) {
        ++correctCount;
        ++matchCount;
        marks[pickedQuestion] = 1;
    } else {
        ++errorCount;
        marks[pickedQuestion] = 0;
    }
}

bool TrainerForm::pickIsRight() const
{
    return answers[questionMap[pickedQuestion]] == answers[answerOrder[pickedAnswer]];
}

void TrainerForm::drawWithoutRepeat(int range, int slot)
{
    // Draws into drawn(slot) a number in 0..range-1 not taken by an earlier slot;
    // questionPicked marks a number already taken.
    do {
        questionPicked = 0;
        candidate = qint16(Convert::wholePart(range * random().draw() - slot) + slot);
        for (innerIndex = 0; innerIndex < slot; ++innerIndex) {
            if (drawn[innerIndex] == candidate)
                questionPicked = kTrue;
        }
    } while (questionPicked != 0);
    drawn[slot] = candidate;
}

void TrainerForm::Command1_Click()
{
    List1->setEnabled(true);
    List2->setEnabled(false);
    List2->setHeight(180);
    startMode();
    Cls();
    if (Command1->isEnabled()) {
        Check2->setValue(0);
        Check3->setValue(0);
        List1->show();
        List2->show();
        pickedAnswer = 0;
        matchCount = 0;
        grade.clear();
        percent = 0;
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
            drawn[loopIndex] = 0;
        pickedQuestion = 0;
        questionPicked = 0;
        answerPicked = 0;
        clearLists();
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
            List1->AddItem(questions[loopIndex]);
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
            List2->AddItem(answers[loopIndex]);
    }
    Check1->setValue(1);
    Command1->setEnabled(false);
}

void TrainerForm::List1_Click()
{
    if (answeredCount >= kSteps || !pickedRowUsable(List1))
        return;
    Cls();
    ++answeredCount;
    const bool test2 = Check4->Value() == 1;
    pickedQuestion = qint16(List1->ListIndex());
    questionMap[pickedQuestion] = pickedQuestion;
    if (questionPicked == 0 && test2 && answerPicked == 0) {
        Print(questions[pickedQuestion]);
    } else {
        Print(questions[pickedQuestion], Separator::SameLine);
        Print(pickedQuestion);
    }
    questionPicked = kTrue;
    List2->setEnabled(true);
    List1->setEnabled(false);
    if (questionPicked == kTrue && answerPicked == kTrue) {
        questionPicked = 0;
        answerPicked = 0;
        rowText.clear();
    }
}

void TrainerForm::List2_Click()
{
    if (answeredCount > kSteps || !pickedRowUsable(List2))
        return;
    const qint16 row = qint16(List2->ListIndex());
    if (questionPicked == kTrue && Check4->Value() == 1 && answerPicked == 0) {
        // A Test 2 pick is scored like a training pick, silently.
        pickedAnswer = row;
        answerPicked = kTrue;
        scorePick(pickIsRight());
    }
    if ((Check2->Value() == 1 || Check1->Value() == 1) && questionPicked == kTrue && answerPicked == 0) {
        pickedAnswer = row;
        answerOrder[pickedAnswer] = row;
        answerPicked = kTrue;
        const bool right = pickIsRight();
        scorePick(right);
        if (right) {
            Print(answers[answerOrder[pickedAnswer]], Separator::SameLine);
            Print(QStringLiteral(" верно"));
        }
    }
    if (questionPicked == kTrue && answerPicked == kTrue) {
        questionPicked = 0;
        answerPicked = 0;
        rowText.clear();
    }
    if (answeredCount < kSteps) {
        Print(answeredCount);
        List2->setEnabled(false);
        List1->setEnabled(true);
        return;
    }
    questionPicked = kTrue;
    answerPicked = kTrue;
    Cls();
    Print(QStringLiteral("всё"));
    Print(correctCount, Separator::NextZone);
    Print(matchCount);
    Command3->setEnabled(true);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command6->setEnabled(false);
    List2->setEnabled(false);
}

void TrainerForm::Command2_Click()
{
    List1->setEnabled(false);
    List2->setEnabled(false);
    List1->hide();
    List2->hide();
    startMode();
    Cls();
    Command3->setEnabled(false);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    Command2->setEnabled(true);
    if (!questions[1].isEmpty()) {
        Check1->setValue(0);
        Check3->setValue(0);
        random().reseed(clock().secondsSinceMidnight());
        matchCount = 0;
        grade.clear();
        percent = 0;
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
            drawn[loopIndex] = 0;
        for (loopIndex = 0; loopIndex < kSteps; ++loopIndex) {
            const int turn = loopIndex;
            setForeColor(kTest1Question);
            setFontSize(12);
            setFontBold(true);
            Cls();
            Print(questions[turn]);
            answeredCount = qint16(turn + 1);
            drawWithoutRepeat(kSteps, turn);
            setForeColor(kTest1Candidate);
            Print(answers[candidate]);

            const std::optional<double> value = askYesNo(turn);
            if (!value)
                return; // the window was closed during the dialog
            const std::optional<qint16> reply = Convert::roundToInteger16(*value);
            if (candidate == turn)
                ++matchCount;
            // A reply too large for a mark counts as neither right nor wrong.
            if (!reply)
                continue;
            marks[turn] = *reply;
            if ((marks[turn] == 1 && candidate == turn) || (marks[turn] == 0 && candidate != turn))
                ++correctCount;
            if ((marks[turn] == 1 && candidate != turn) || (marks[turn] == 0 && candidate == turn))
                ++errorCount;
        }
        setFontBold(false);
    }
    if (questions[1].isEmpty())
        List2->AddItem(kNoQuestionsHint);
    Command3->setEnabled(true);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command6->setEnabled(false);
    List1->setEnabled(true);
    List2->setEnabled(true);
    List1->show();
    List2->show();
    Check2->setValue(1);
}

std::optional<double> TrainerForm::askYesNo(int turn)
{
    // No answer is not a "no": a cancelled dialog or a reply that does not
    // start with a number brings the same question back.
    for (;;) {
        const std::optional<QString> reply = InputBox(QStringLiteral("да - 1 или нет - 0"));
        if (isClosing())
            return std::nullopt;
        const std::optional<double> value = Convert::leadingNumber(reply.value_or(QString()));
        if (value) {
            replyTexts[turn] = *reply;
            return value;
        }
    }
}

void TrainerForm::Command6_Click()
{
    List2->setHeight(180);
    startMode();
    List1->setEnabled(true);
    List2->setEnabled(false);
    Cls();
    Command3->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command6->setEnabled(true);
    matchCount = 0;
    grade.clear();
    percent = 0;
    random().reseed(clock().secondsSinceMidnight());
    // Every answer 0..16 once, in random order.
    for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
        drawWithoutRepeat(kLastRow + 1, loopIndex);
    questionPicked = 0;
    List2->Clear();
    pickedQuestion = 0;
    answerPicked = 0;
    List1->show();
    List2->show();
    if (!questions[1].isEmpty()) {
        Check1->setValue(0);
        Check3->setValue(0);
        Check2->setValue(0);
        clearLists();
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex) {
            List1->AddItem(questions[loopIndex]);
            List2->AddItem(answers[drawn[loopIndex]]);
        }
        for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex)
            answerOrder[loopIndex] = drawn[loopIndex];
    }
    if (questions[1].isEmpty())
        List2->AddItem(kNoQuestionsHint);
    Command6->setEnabled(false);
    Check4->setValue(1);
}

void TrainerForm::Form_DblClick()
{
    const QList<QWidget *> controls = {Command2, Command1, Command3, Command6, List2, List1, Label1, Label2};
    if (controlsShown == 0) {
        for (QWidget *w : controls)
            w->show();
        Text1->show();
        controlsShown = kTrue;
        return;
    }
    for (QWidget *w : controls)
        w->hide();
    controlsShown = 0;
    Command3->setValue(true);
    Text1->hide();
}

void TrainerForm::reportLine(ListBox *list, const QString &text, Separator separator)
{
    list->AddItem(text);
    Print(text, separator);
}

void TrainerForm::Command3_Click()
{
    List2->setHeight(180);
    List1->hide();
    List2->hide();
    Label2->hide();
    Label1->hide();
    Text1->hide();
    List1->setEnabled(true);
    List2->setEnabled(true);
    Check4->setEnabled(true);
    Check1->setEnabled(true);
    Check2->setEnabled(true);
    timeLimit = QStringLiteral("1:00:00");
    Cls();
    setForeColor(kDesignColor);
    setFontSize(11);
    List2->Clear();
    List1->Clear();

    const bool training = Check1->Value() == 1;
    const bool test1 = Check2->Value() == 1;
    const bool test2 = Check4->Value() == 1;
    bool graded = false;
    if (!(replyTexts[1].isEmpty() && questions[1].isEmpty())) {
        pickedAnswer = 0;
        List2->setFontSize(11);
        List1->setForeColor(kRed);
        if (answeredCount < kSteps) {
            setForeColor(kRed);
            setFontSize(14);
            reportLine(List2, QStringLiteral("Должно быть 16 ответов"));
        } else {
            for (loopIndex = 0; loopIndex <= kLastRow; ++loopIndex) {
                ++pickedAnswer;
                List1->AddItem(questions[loopIndex]);
                // Each row shows the answer with the mark of its own question.
                if (test2 || training)
                    rowText = answers[loopIndex] + Convert::numberText(int(marks[loopIndex]));
                reportLine(List2, rowText);
                rowText.clear();
            }
            setForeColor(kRed);
            setFontSize(14);
            const QString matched = Convert::numberText(int(matchCount)) + QStringLiteral(" cовпало");
            const float fromCorrect = float(double(correctCount) / 16.0 * 100.0);
            if ((training || test2) && matchCount != 0) {
                reportLine(List2, matched);
                percent = fromCorrect;
            }
            if (test1 && matchCount != 0) {
                reportLine(List2, matched);
                percent = fromCorrect;
            }
            if (test1 && matchCount == 0) {
                reportLine(List1, QStringLiteral("Совпадений "));
                reportLine(List1, QStringLiteral("не было"));
                // Graded on the replies, as every other test is.
                percent = fromCorrect;
            }
            if ((training || test2) && matchCount == 0) {
                reportLine(List1, QStringLiteral("Совпадений "));
                reportLine(List1, QStringLiteral("не было"));
                percent = 0;
                clearMarks();
            }
            if (percent == 100)
                grade = QStringLiteral("5");
            if (percent >= 80 && percent < 100)
                grade = QStringLiteral("4");
            if (percent >= 50 && percent < 80)
                grade = QStringLiteral("3");
            if (percent >= 30 && percent < 50)
                grade = QStringLiteral("2");
            if (percent >= 0 && percent < 30)
                grade = QStringLiteral("1");
            reportLine(List2,
                       Convert::numberText(percent) + QStringLiteral("%") + QStringLiteral(" правильных ответов,"));
            reportLine(List2, QStringLiteral(" ошибок - ") + Convert::numberText(int(errorCount)), Separator::NextZone);
            List2->setFontSize(14);
            reportLine(List2, QStringLiteral("оценка ") + grade);
            graded = true;
        }
    }
    if (!graded && questions[1].isEmpty()) {
        for (const QString &line :
             {QStringLiteral("Ишь чего захотел."), kNoQuestionsHint, QStringLiteral("затем клавишу ТЕСТ")}) {
            rowText = line;
            Print(rowText);
        }
    }
    Command3->setEnabled(true);
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    setForeColor(kDesignColor);
    Option3->setEnabled(true);
    Option1->setEnabled(true);
    Option2->setEnabled(true);
}
