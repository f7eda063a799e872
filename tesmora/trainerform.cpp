#include "trainerform.h"

#include "core/clock.h"
#include "core/convert.h"
#include "core/randomsource.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/label.h"
#include "forms/listbox.h"
#include "forms/optionbutton.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "print/pngresource.h"
#include "print/ppmresource.h"
#include "print/textwrap.h"
#include "resultcourier.h"
#include "runhandin.h"
#include "statekeeper.h"
#include "statusboard.h"
#include "storage/outbox.h"
#include "topiccatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QTimer>

#include <cmath>

namespace {

constexpr quint32 kDesignColor = 0x00FFFF80; // light cyan
constexpr quint32 kRed = 255;
constexpr quint32 kQuestionListColor = 5444444;
constexpr quint32 kAnswerListColor = 6444;
constexpr quint32 kHelpGreen = 4444444;
constexpr quint32 kHelpOrange = 25555;
constexpr quint32 kTest1Question = 4444444;
constexpr quint32 kTest1Candidate = 7444444;

const QString kCourier = QStringLiteral("Courier New");
constexpr qreal kNoticeSize = 9.75;
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

void TrainerForm::setTopicName(const QString &name)
{
    setWindowTitle(name.isEmpty() ? QStringLiteral("Tesmora") : QStringLiteral("Tesmora — %1").arg(name));
    m_topicName = name;
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
    m_trainer.restartClock(clock().timeOfDaySingle());
    Timer1->followSpanFrom(m_trainer.startTime());
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
    clearLists();
    m_loadMessages = m_trainer.load(m_dataFolder);
    // Which topic files the results were earned on, read right after them.
    if (m_handIn)
        m_handIn->topicLoaded(m_topicName, m_dataFolder);
    if (!m_missingTopic.isEmpty())
        m_loadMessages.prepend(QStringLiteral("Не найдена тема: %1").arg(m_missingTopic));
    m_loadMessages = m_startProblems + m_loadMessages;
    List1->hide();
    List2->hide();
    restartClock();
    Text1->ZOrder();

    // Runs a crash or a close left: ended ones handed in, an open one gone on with.
    if (m_handIn) {
        AttemptRecovery::Outcome recovered
            = AttemptRecovery::run(AttemptRecovery::Scope::Trainer, m_dataFolder, clock().now());
        m_loadMessages += recovered.lines;
        m_resume = std::move(recovered.resume);
    }
    for (const QString &message : std::as_const(m_loadMessages))
        printNotice(message);
    // What an earlier run kept on this computer goes to the teacher now.
    if (m_handIn)
        m_handIn->courier()->retry();
    if (m_resume)
        QTimer::singleShot(0, this, &TrainerForm::resumeRun);
}

void TrainerForm::printNotice(const QString &text)
{
    // Smaller than the questions, so that a line naming a topic fits the
    // window; one wider still goes on after its colon, on as many lines as it takes.
    const qsizetype colon = text.indexOf(QLatin1String(": "));
    PrintItem item;
    item.size = kNoticeSize;
    if (colon > 0 && QFontMetricsF(printModel().fontOf(item)).horizontalAdvance(text) > width() - 16) {
        printWrapped(text.left(colon + 1));
        printWrapped(QStringLiteral("  ") + text.mid(colon + 2));
    } else {
        printWrapped(text);
    }
}

void TrainerForm::chooseLevel(qint64 limitSeconds)
{
    OptionButton *level = limitSeconds <= 60 ? Option1 : limitSeconds <= 120 ? Option2 : Option3;
    level->setValue(true);
    // The run's own limit, whichever button is nearest to it.
    m_trainer.setTimeLimit(Trainer::limitText(limitSeconds));
}

void TrainerForm::resumeRun()
{
    if (!m_resume || isClosing())
        return;
    const AttemptRecovery::Found found = *std::exchange(m_resume, std::nullopt);
    const RunState &state = found.state;
    const Trainer::Modes modes = Trainer::modesOf(state.record.mode);
    chooseLevel(state.record.limitSeconds);
    CheckBox *box = modes.testFlag(Trainer::Mode::Test1) ? Check2
        : modes.testFlag(Trainer::Mode::Test2)           ? Check4
                                                         : Check1;
    box->setValue(1);
    if (!m_trainer.resume(state)) {
        // Steps that do not replay over these files: ended as they stand.
        m_handIn->courier()->submit(AttemptRecovery::unfinishedOf(state),
                                    [folder = found.folder, name = found.name] { Outbox(folder).forget(name); });
        m_trainer.startMode(clock().now());
        printNotice(QStringLiteral("Прерванная работа не продолжается: её шаги не сходятся с файлами темы"));
        return;
    }
    m_handIn->resumed(state, found.name);
    const qint64 left = std::max<qint64>(0, state.secondsLeft(clock().now()));
    const qint64 elapsed = state.record.limitSeconds - left;
    const float start = float(std::fmod(clock().timeOfDay() - double(elapsed) / 86400.0 + 1.0, 1.0));
    m_trainer.restartClock(start);
    Timer1->followSpanFrom(m_trainer.startTime());
    clearScreen();
    const qsizetype taken = state.record.steps.size();
    printNotice(QStringLiteral("Продолжается прерванная работа: %1, %2, шаг %3 из %4, осталось %5:%6")
                    .arg(state.record.topic, ResultMode::caption(state.record.mode))
                    .arg(std::min<qsizetype>(taken + 1, Trainer::Steps))
                    .arg(Trainer::Steps)
                    .arg(left / 60)
                    .arg(left % 60, 2, 10, QLatin1Char('0')));
    noteProgress();
    List2->setFontBold(false);
    List2->setFontSize(11);
    Label2->show();
    Label1->show();
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Command6->setEnabled(false);
    if (modes.testFlag(Trainer::Mode::Test1)) {
        List1->hide();
        List2->hide();
        const int candidate = state.candidate >= 0 && state.candidate < Trainer::Steps ? state.candidate : -1;
        askTurns(int(taken), candidate, true);
        return;
    }
    List2->setHeight(180);
    fillLists(modes.testFlag(Trainer::Mode::Test2));
    List1->setEnabled(true);
    List2->setEnabled(false);
    showPendingQuestion();
}

void TrainerForm::fillLists(bool test2)
{
    clearLists();
    for (int row = 0; row <= Trainer::LastRow; ++row) {
        List1->AddItem(m_trainer.questions()[row]);
        List2->AddItem(m_trainer.answers()[test2 ? m_trainer.answerOrder()[row] : row]);
    }
    List1->show();
    List2->show();
}

void TrainerForm::showPendingQuestion()
{
    if (m_trainer.questionPicked() != Trainer::True || m_trainer.answerPicked() != 0)
        return;
    Print(m_trainer.questions()[m_trainer.pickedQuestion()]);
    List2->setEnabled(true);
    List1->setEnabled(false);
}

void TrainerForm::setResultsFolder(const QString &folder)
{
    if (m_handIn) {
        delete m_handIn->courier();
        delete m_handIn->board();
        delete m_handIn->keeper();
    }
    // The run's state lies beside the records it may become.
    m_handIn.reset(folder.isEmpty() ? nullptr : new RunHandIn(folder, Outbox::open().folder(), this));
    if (!m_handIn)
        return;
    connect(m_handIn->courier(), &ResultCourier::reported, this, &TrainerForm::handInReported);
    connect(m_handIn->board(), &StatusBoard::written, this, &TrainerForm::statusWritten);
}

void TrainerForm::statusWritten(const QString &error)
{
    if (!error.isEmpty() && error != m_statusError)
        printWrapped(QStringLiteral("Учитель не видит, на каком вы шаге: ") + error);
    m_statusError = error;
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
        clearScreen();
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
    m_trainer.setTimeLimit(limit);
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
    Text1->setText(clockLine(m_trainer.startTime()));
    if (m_trainer.timeRanOut(clock().timeOfDay())) {
        clearScreen();
        Print(QStringLiteral("Ваше время истекло. Нажмите -Результат-"));
        m_runOpen = false;
        handIn(true);
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
    Timer1->followSpanFrom(m_trainer.startTime());
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
    if (m_trainer.helpScolds()) {
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
    m_trainer.helpShown();
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
    if (m_handIn)
        m_handIn->runLeft();
    m_trainer.startMode(clock().now());
    noteProgress();
    List2->setFontBold(false);
    List2->setFontSize(11);
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

void TrainerForm::Command1_Click()
{
    List1->setEnabled(true);
    List2->setEnabled(false);
    List2->setHeight(180);
    startMode();
    clearScreen();
    if (Command1->isEnabled()) {
        Check2->setValue(0);
        Check3->setValue(0);
        List1->show();
        List2->show();
        m_trainer.startTraining();
        fillLists(false);
        runShown();
    }
    Check1->setValue(1);
    Command1->setEnabled(false);
}

Trainer::Modes TrainerForm::tickedModes() const
{
    Trainer::Modes modes;
    modes.setFlag(Trainer::Mode::Training, Check1->Value() == 1);
    modes.setFlag(Trainer::Mode::Test1, Check2->Value() == 1);
    modes.setFlag(Trainer::Mode::Test2, Check4->Value() == 1);
    return modes;
}

void TrainerForm::List1_Click()
{
    const Trainer::QuestionPick pick = m_trainer.pickQuestion(List1->ListIndex(), tickedModes());
    if (pick == Trainer::QuestionPick::Ignored)
        return;
    keepState();
    clearScreen();
    const qint16 row = m_trainer.pickedQuestion();
    if (pick == Trainer::QuestionPick::Plain) {
        Print(m_trainer.questions()[row]);
    } else {
        Print(m_trainer.questions()[row], Separator::SameLine);
        Print(row);
    }
    List2->setEnabled(true);
    List1->setEnabled(false);
}

void TrainerForm::List2_Click()
{
    const Trainer::AnswerPick pick = m_trainer.pickAnswer(List2->ListIndex(), tickedModes());
    if (!pick.taken)
        return;
    noteProgress();
    if (pick.right) {
        Print(m_trainer.pickedAnswerText(), Separator::SameLine);
        Print(QStringLiteral(" верно"));
    }
    if (!pick.finished) {
        Print(m_trainer.answeredCount());
        List2->setEnabled(false);
        List1->setEnabled(true);
        return;
    }
    clearScreen();
    Print(QStringLiteral("всё"));
    Print(m_trainer.correctCount(), Separator::NextZone);
    Print(m_trainer.matchCount());
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
    clearScreen();
    Command3->setEnabled(false);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    Command2->setEnabled(true);
    if (m_trainer.hasQuestions()) {
        Check1->setValue(0);
        Check3->setValue(0);
        random().reseed(clock().secondsSinceMidnight());
        m_trainer.startTest1();
        askTurns(0, -1, false);
        return;
    }
    List2->AddItem(Trainer::NoQuestionsHint);
    askTurns(Trainer::Steps, -1, false);
}

void TrainerForm::askTurns(int from, int candidate, bool resumed)
{
    for (int turn = from; turn < Trainer::Steps; ++turn) {
        setForeColor(kTest1Question);
        setFontSize(12);
        setFontBold(true);
        // The line saying that the run goes on stays above its first question.
        if (turn != from || !resumed)
            clearScreen();
        Print(m_trainer.questions()[turn]);
        if (turn == from && candidate >= 0)
            m_trainer.resumeTurn(turn, candidate);
        else
            m_trainer.startTurn(turn, random());
        if (turn == 0 && !resumed)
            runShown();
        else
            keepState();
        setForeColor(kTest1Candidate);
        Print(m_trainer.answers()[m_trainer.candidate()]);
        const std::optional<std::pair<QString, double>> reply = askYesNo();
        if (!reply)
            return; // the window was closed during the dialog
        m_trainer.scoreReply(turn, reply->first, reply->second);
        noteProgress();
    }
    if (m_trainer.hasQuestions())
        setFontBold(false);
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

std::optional<std::pair<QString, double>> TrainerForm::askYesNo()
{
    // No answer is not a "no": a cancelled dialog or a reply that does not
    // start with a number brings the same question back.
    for (;;) {
        const std::optional<QString> reply = InputBox(QStringLiteral("да - 1 или нет - 0"));
        if (isClosing())
            return std::nullopt;
        const std::optional<double> value = Convert::leadingNumber(reply.value_or(QString()));
        if (value)
            return std::make_pair(*reply, *value);
    }
}

void TrainerForm::Command6_Click()
{
    List2->setHeight(180);
    startMode();
    List1->setEnabled(true);
    List2->setEnabled(false);
    clearScreen();
    Command3->setEnabled(false);
    Command1->setEnabled(false);
    Command2->setEnabled(false);
    Command6->setEnabled(true);
    random().reseed(clock().secondsSinceMidnight());
    m_trainer.startTest2(random());
    List2->Clear();
    List1->show();
    List2->show();
    if (m_trainer.hasQuestions()) {
        Check1->setValue(0);
        Check3->setValue(0);
        Check2->setValue(0);
        fillLists(true);
        runShown();
    }
    if (!m_trainer.hasQuestions())
        List2->AddItem(Trainer::NoQuestionsHint);
    Command6->setEnabled(false);
    Check4->setValue(1);
}

void TrainerForm::Form_DblClick()
{
    const QList<QWidget *> controls = {Command2, Command1, Command3, Command6, List2, List1, Label1, Label2};
    if (m_trainer.toggleControls()) {
        for (QWidget *w : controls)
            w->show();
        Text1->show();
        return;
    }
    for (QWidget *w : controls)
        w->hide();
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
    const Trainer::Result result = m_trainer.result(tickedModes());
    // Kept first: a report on the screen always has its record.
    if (result.outcome == Trainer::Result::Outcome::Graded)
        handIn(false);
    m_shownResult = result;
    m_runOpen = false;
    drawReport();
    Command3->setEnabled(true);
    Command2->setEnabled(false);
    Command1->setEnabled(false);
    Command6->setEnabled(false);
    setForeColor(kDesignColor);
    Option3->setEnabled(true);
    Option1->setEnabled(true);
    Option2->setEnabled(true);
}

void TrainerForm::clearScreen()
{
    m_reportShown = false;
    Cls();
}

void TrainerForm::drawReport()
{
    clearScreen();
    setForeColor(kDesignColor);
    setFontSize(11);
    List2->Clear();
    List1->Clear();
    printResult(m_shownResult);
    if (!m_statusError.isEmpty())
        printWrapped(QStringLiteral("Учитель не видит, на каком вы шаге: ") + m_statusError);
    if (!m_handInLine.isEmpty())
        printWrapped(m_handInLine);
    m_reportShown = true;
}

void TrainerForm::handInReported(const QString &line)
{
    // The line stands for the record as it is now: the report shows it in
    // place of the one before; a run under way is not interrupted by it.
    m_handInLine = line;
    // A record handed in shows the folder works again: the step's line is stale.
    if (line.startsWith(QStringLiteral("Результат передан учителю")))
        m_statusError.clear();
    if (m_reportShown)
        drawReport();
    else if (!m_runOpen)
        printWrapped(line);
}

void TrainerForm::printWrapped(const QString &text)
{
    const qreal size = FontSize();
    setFontSize(kNoticeSize);
    // Measured in the face the surface draws, and short of the clock's box
    // where it stands on the right.
    PrintItem item;
    item.size = kNoticeSize;
    item.bold = printModel().fontBold();
    const QFontMetricsF metrics(printModel().fontOf(item));
    QStringList lines = TextWrap::lines(text, metrics, width() - 16, QStringLiteral("  "));
    // Lines that would run beside the clock's box go short of it instead.
    const QRect clock = Text1->geometry();
    const qreal top = printModel().nextY();
    if (Text1->isVisible() && top < clock.bottom() && top + lines.size() * metrics.height() > clock.top())
        lines = TextWrap::lines(text, metrics, std::min(width(), clock.left()) - 16, QStringLiteral("  "));
    for (const QString &line : std::as_const(lines))
        Print(line);
    setFontSize(size);
}

void TrainerForm::noteProgress()
{
    if (m_handIn)
        m_handIn->progress(m_trainer, tickedModes(), clock().now());
}

void TrainerForm::runShown()
{
    m_runOpen = true;
    m_handInLine.clear();
    if (m_handIn)
        m_handIn->runStarted(m_trainer, tickedModes(), clock().now());
}

void TrainerForm::keepState()
{
    if (m_handIn)
        m_handIn->keepState(m_trainer);
}

void TrainerForm::handIn(bool timedOut)
{
    if (m_handIn)
        m_handIn->handIn(m_trainer, tickedModes(), timedOut, clock().now());
}

void TrainerForm::printResult(const Trainer::Result &result)
{
    using Outcome = Trainer::Result::Outcome;
    if (result.outcome != Outcome::NotRun) {
        List2->setFontSize(11);
        List1->setForeColor(kRed);
    }
    if (result.outcome == Outcome::TooFewAnswers) {
        setForeColor(kRed);
        setFontSize(14);
        reportLine(List2, QStringLiteral("Должно быть 16 ответов"));
    }
    if (result.outcome == Outcome::Graded) {
        for (int row = 0; row < result.rows.size(); ++row) {
            List1->AddItem(m_trainer.questions()[row]);
            reportLine(List2, result.rows[row]);
        }
        setForeColor(kRed);
        setFontSize(14);
        for (const QString &line : result.matchLines)
            reportLine(List2, line);
        for (const QString &line : result.noMatchLines)
            reportLine(List1, line);
        reportLine(List2, result.percentLine);
        reportLine(List2, result.errorLine, Separator::NextZone);
        List2->setFontSize(14);
        reportLine(List2, result.gradeLine);
    }
    for (const QString &line : result.hintLines)
        Print(line);
}
