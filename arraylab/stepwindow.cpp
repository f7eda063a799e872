#include "stepwindow.h"

#include "stepmodel.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr qreal kCellPoints = 14;
constexpr qreal kTextPoints = 11;

QString kindName(StepTrace::Kind kind)
{
    switch (kind) {
    case StepTrace::Kind::Compare:
        return QStringLiteral("compare");
    case StepTrace::Kind::Swap:
        return QStringLiteral("swap");
    case StepTrace::Kind::Assign:
        return QStringLiteral("assign");
    case StepTrace::Kind::Resize:
        break;
    }
    return QStringLiteral("resize");
}

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

StepWindow::StepWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_model(new StepModel(this))
{
    setObjectName(QStringLiteral("StepWindow"));
    buildControls();
    buildShortcuts();
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StepWindow::tick);
    setZoom(100);
    resize(1150, 600);
}

StepWindow::~StepWindow() = default;

void StepWindow::buildControls()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("cells"));
    m_grid->setAccessibleName(QStringLiteral("Массив"));
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &i) { choose(i.row(), i.column()); });

    m_sentence = new QLabel(this);
    m_sentence->setObjectName(QStringLiteral("sentence"));
    m_sentence->setWordWrap(true);
    m_sentence->setTextFormat(Qt::PlainText);
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("prompt"));
    m_prompt->setWordWrap(true);
    m_prompt->setTextFormat(Qt::PlainText);
    buildCode();
    buildButtons();
    layOut();
}

void StepWindow::buildCode()
{
    m_languageBox = new QComboBox(this);
    m_languageBox->setObjectName(QStringLiteral("languageBox"));
    m_languageBox->setAccessibleName(QStringLiteral("Язык"));
    for (LabCode::Language l : LabCode::Languages)
        m_languageBox->addItem(LabCode::languageName(l));
    connect(m_languageBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_language = LabCode::Languages[size_t(std::clamp(index, 0, 2))];
        showListing();
    });
    m_code = new QListWidget(this);
    m_code->setObjectName(QStringLiteral("code"));
    m_code->setAccessibleName(QStringLiteral("Алгоритм"));
    m_code->setFocusPolicy(Qt::NoFocus);
    m_counters = new QLabel(this);
    m_counters->setObjectName(QStringLiteral("counters"));
}

void StepWindow::buildButtons()
{
    m_first = makeButton(QStringLiteral("В начало"), QStringLiteral("firstButton"), this);
    m_back = makeButton(QStringLiteral("Назад"), QStringLiteral("backButton"), this);
    m_forward = makeButton(QStringLiteral("Вперёд"), QStringLiteral("forwardButton"), this);
    m_last = makeButton(QStringLiteral("В конец"), QStringLiteral("lastButton"), this);
    m_play = makeButton(QStringLiteral("Пуск"), QStringLiteral("playButton"), this);
    m_pass = makeButton(QStringLiteral("Конец прохода"), QStringLiteral("passButton"), this);
    connect(m_first, &QPushButton::clicked, this, [this] { setStep(0); });
    connect(m_back, &QPushButton::clicked, this, [this] { setStep(m_step - 1); });
    connect(m_forward, &QPushButton::clicked, this, [this] { setStep(m_step + 1); });
    connect(m_last, &QPushButton::clicked, this, [this] { setStep(steps()); });
    connect(m_play, &QPushButton::clicked, this, [this] { play(!m_timer.isActive()); });
    connect(m_pass, &QPushButton::clicked, this, &StepWindow::endOfPass);
    m_speed = new QSlider(Qt::Horizontal, this);
    m_speed->setObjectName(QStringLiteral("speed"));
    m_speed->setAccessibleName(QStringLiteral("Шагов в секунду"));
    m_speed->setRange(MinimumSpeed, MaximumSpeed);
    m_speed->setValue(2);
    connect(m_speed, &QSlider::valueChanged, this, [this](int perSecond) { m_timer.setInterval(1000 / perSecond); });
    m_guessBox = new QCheckBox(QStringLiteral("Угадывать"), this);
    m_guessBox->setObjectName(QStringLiteral("guessBox"));
    connect(m_guessBox, &QCheckBox::toggled, this, &StepWindow::startGuessing);
}

void StepWindow::layOut()
{
    auto *left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addWidget(m_sentence);
    left->addWidget(m_prompt);
    auto *right = new QVBoxLayout;
    right->addWidget(m_languageBox);
    right->addWidget(m_code, 1);
    right->addWidget(m_counters);
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right, 1);
    auto *controls = new QHBoxLayout;
    for (QWidget *w :
         {static_cast<QWidget *>(m_first), static_cast<QWidget *>(m_back), static_cast<QWidget *>(m_forward),
          static_cast<QWidget *>(m_last), static_cast<QWidget *>(m_play)})
        controls->addWidget(w);
    auto *speedLabel = new QLabel(QStringLiteral("Скорость:"), this);
    speedLabel->setBuddy(m_speed);
    controls->addWidget(speedLabel);
    controls->addWidget(m_speed, 1);
    controls->addWidget(m_pass);
    controls->addWidget(m_guessBox);
    auto *all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(controls);
}

void StepWindow::buildShortcuts()
{
    const auto key = [this](const QKeySequence &sequence, auto slot) {
        auto *shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    // The stepping keys work whichever control has the focus: each one's own
    // use of them (a button's focus move, a slider's step) gives way.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    key(QKeySequence::ZoomIn, [this] { emit zoomAsked(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { emit zoomAsked(1); });
    key(QKeySequence::ZoomOut, [this] { emit zoomAsked(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { emit zoomAsked(0); });
}

bool StepWindow::stepKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        if (m_back->isEnabled())
            setStep(m_step - 1);
        return true;
    case Qt::Key_Right:
        if (m_forward->isEnabled())
            setStep(m_step + 1);
        return true;
    case Qt::Key_Home:
        if (m_first->isEnabled())
            setStep(0);
        return true;
    case Qt::Key_End:
        if (m_last->isEnabled())
            setStep(steps());
        return true;
    case Qt::Key_Space:
        if (m_play->isEnabled())
            play(!m_timer.isActive());
        return true;
    default:
        return false;
    }
}

void StepWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() != Qt::NoModifier || !stepKey(event->key()))
        QWidget::keyPressEvent(event);
}

bool StepWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_grid && m_guessing) {
        // While guessing, the arrows move among the cells and Space or Enter chooses one.
        if (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            choose(m_grid->currentIndex().row(), m_grid->currentIndex().column());
            return true;
        }
        return false;
    }
    return key->modifiers() == Qt::NoModifier && stepKey(key->key());
}

void StepWindow::showRun(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, const QString &caption)
{
    play(false);
    if (m_guessing) {
        m_guessing = false;
        m_guessBox->blockSignals(true);
        m_guessBox->setChecked(false);
        m_guessBox->blockSignals(false);
    }
    m_tally = GuessTally();
    m_trace = std::move(trace);
    m_operation = operation;
    m_caption = caption;
    m_story = std::make_unique<StepStory>(*m_trace, operation);
    setWindowTitle(QStringLiteral("Пошагово — ") + caption);
    m_pass->setVisible(LabCode::isSort(operation));
    m_model->reset(m_trace->table() ? m_trace->gridRows() : 1, m_trace->gridColumns());
    m_prompt->clear();
    m_step = 0;
    m_state = m_trace->state(0);
    showListing();
    emit stepChanged(0);
}

void StepWindow::showListing()
{
    m_listing = LabCode::listing(m_operation, m_language);
    m_code->clear();
    m_code->addItems(m_listing.lines);
    refresh();
}

void StepWindow::setLanguage(const QString &name)
{
    for (size_t l = 0; l < LabCode::Languages.size(); ++l) {
        if (LabCode::languageName(LabCode::Languages[l]) == name)
            m_languageBox->setCurrentIndex(int(l));
    }
}

void StepWindow::setStep(int step)
{
    if (!m_trace)
        return;
    step = std::clamp(step, 0, steps());
    if (step == m_step)
        return;
    m_step = step;
    m_state = m_trace->state(step);
    refresh();
    emit stepChanged(step);
}

void StepWindow::refresh()
{
    if (!m_trace)
        return;
    m_model->clearMarks();
    m_model->show(m_state, m_trace->table());
    if (m_step > 0) {
        const StepTrace::Step &s = m_trace->at(m_step);
        if (s.kind != StepTrace::Kind::Resize) {
            const bool changed = StepTrace::changes(s);
            m_model->mark(s.a, changed ? StepModel::Mark::Change : StepModel::Mark::Compare);
            if (s.kind == StepTrace::Kind::Swap
                || (s.kind == StepTrace::Kind::Compare && s.line == LabObserver::Line::Compare))
                m_model->mark(s.b, changed ? StepModel::Mark::Change : StepModel::Mark::Compare);
            else if (s.line == LabObserver::Line::Shift)
                m_model->mark(s.b, StepModel::Mark::Compare); // the value's source
        }
    }
    m_code->setCurrentRow(codeLine());
    m_counters->setText(QStringLiteral("Шаг %1 из %2\nСравнений: %3\nОбменов: %4\nПрисваиваний: %5")
                            .arg(m_step)
                            .arg(steps())
                            .arg(m_state.comparisons)
                            .arg(m_state.swaps)
                            .arg(m_state.assignments));
    m_sentence->setText(sentence());
    QAccessibleEvent announce(m_sentence, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&announce);
    enableNavigation();
}

void StepWindow::enableNavigation()
{
    const bool free = !m_guessing;
    m_first->setEnabled(free && m_step > 0);
    m_back->setEnabled(free && m_step > 0);
    m_forward->setEnabled(free && m_step < steps());
    m_last->setEnabled(free && m_step < steps());
    m_pass->setEnabled(free && m_step < steps());
    m_play->setEnabled(free && (m_timer.isActive() || m_step < steps()));
    m_guessBox->setEnabled(m_guessing || m_step < steps());
}

QString StepWindow::sentence() const
{
    return m_story ? m_story->sentence(m_step) : QString();
}

QList<int> StepWindow::cells() const
{
    QList<int> values;
    for (int r = 0; r < m_model->rowCount(); ++r)
        for (int c = 0; c < m_model->columnCount(); ++c)
            values.append(m_model->value(r, c));
    return values;
}

QList<int> StepWindow::touched() const
{
    QList<int> at;
    if (!m_trace || m_step == 0)
        return at;
    const StepTrace::Step &s = m_trace->at(m_step);
    if (s.kind == StepTrace::Kind::Resize)
        return at;
    const auto index = [this](LabObserver::Cell c) {
        return (m_trace->table() ? c.row - 1 : 0) * m_model->columnCount() + c.column - 1;
    };
    at.append(index(s.a));
    // An exchange and a sort's comparison touch two cells; a shift reads its source.
    if (s.kind == StepTrace::Kind::Swap || s.line == LabObserver::Line::Compare || s.line == LabObserver::Line::Shift)
        at.append(index(s.b));
    return at;
}

QString StepWindow::kind() const
{
    return m_trace && m_step > 0 ? kindName(m_trace->at(m_step).kind) : QString();
}

int StepWindow::codeLine() const
{
    return m_trace && m_step > 0 ? m_listing.line(m_trace->at(m_step).line) : -1;
}

void StepWindow::play(bool on)
{
    if (on && m_step < steps()) {
        m_timer.start(1000 / m_speed->value());
    } else {
        m_timer.stop();
    }
    m_play->setText(m_timer.isActive() ? QStringLiteral("Пауза") : QStringLiteral("Пуск"));
    enableNavigation();
}

void StepWindow::tick()
{
    setStep(m_step + 1);
    if (m_step >= steps())
        play(false);
}

void StepWindow::endOfPass()
{
    // The last step before the next pass starts, or the end of the run.
    const QVector<int> &starts = m_trace->passStarts();
    const auto next = std::upper_bound(starts.cbegin(), starts.cend(), m_step + 1);
    setStep(next == starts.cend() ? steps() : *next - 1);
}

void StepWindow::startGuessing(bool on)
{
    play(false);
    m_guessing = on && m_trace;
    if (!m_guessing) {
        m_prompt->clear();
        enableNavigation();
        return;
    }
    m_tally = GuessTally();
    m_guessStarted = QDateTime::currentDateTime();
    m_grid->setFocus();
    waitForGuess();
}

void StepWindow::waitForGuess()
{
    const int asked = GuessTally::nextAsked(*m_trace, m_step);
    setStep(asked - 1); // the steps that change nothing go by themselves
    if (asked > steps()) {
        finishGuessing();
        return;
    }
    m_prompt->setText(QStringLiteral("Какую ячейку изменит следующий шаг? Угадано %1 из %2")
                          .arg(m_tally.right())
                          .arg(m_tally.guesses()));
    enableNavigation();
}

void StepWindow::choose(int row, int column)
{
    if (!m_guessing || row < 0 || column < 0 || m_step >= steps())
        return;
    const LabObserver::Cell cell{qint16(row + 1), qint16(column + 1)};
    const LabObserver::Cell chosen = m_trace->table() ? cell : LabObserver::Cell{1, cell.column};
    if (m_tally.choose(m_trace->at(m_step + 1), chosen) == GuessTally::Choice::Wrong) {
        m_model->mark(chosen, StepModel::Mark::Miss);
        m_prompt->setText(QStringLiteral("Не эта ячейка, попробуйте ещё. Угадано %1 из %2")
                              .arg(m_tally.right())
                              .arg(m_tally.guesses()));
        return;
    }
    setStep(m_step + 1);
    waitForGuess();
}

void StepWindow::finishGuessing()
{
    m_guessing = false;
    m_guessBox->blockSignals(true);
    m_guessBox->setChecked(false);
    m_guessBox->blockSignals(false);
    m_prompt->setText(QStringLiteral("Угадано %1 из %2").arg(m_tally.right()).arg(m_tally.guesses()));
    enableNavigation();
    if (m_tally.guesses() > 0)
        emit guessed(m_tally.guesses(), m_tally.right(), m_guessStarted);
}

void StepWindow::report(const QString &line)
{
    m_prompt->setText(m_prompt->text() + QLatin1Char('\n') + line);
}

void StepWindow::setZoom(int percent)
{
    m_zoom = percent;
    const qreal scale = percent / 100.0;
    QFont cellFont = font();
    cellFont.setPointSizeF(kCellPoints * scale);
    cellFont.setBold(true);
    m_grid->setFont(cellFont);
    const QFontMetrics metrics(cellFont);
    m_grid->horizontalHeader()->setDefaultSectionSize(metrics.horizontalAdvance(QStringLiteral("-32768")) + 8);
    m_grid->verticalHeader()->setDefaultSectionSize(metrics.height() + 8);
    QFont textFont = font();
    textFont.setPointSizeF(kTextPoints * scale);
    m_sentence->setFont(textFont);
    m_prompt->setFont(textFont);
    m_counters->setFont(textFont);
    QFont codeFont(QStringLiteral("Liberation Mono"));
    codeFont.setStyleHint(QFont::Monospace);
    codeFont.setPointSizeF(kTextPoints * scale);
    m_code->setFont(codeFont);
}
