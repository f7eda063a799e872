#include "stepwindow.h"

#include "core/clock.h"
#include "flowlayout.h"
#include "programdialog.h"
#include "stepmodel.h"
#include "steps/labprogram.h"

#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kTextPoints = 12;
constexpr qreal kCodePoints = 13;
constexpr qreal kLargestCellPoints = 160;
// The window at its first showing: this large where the screen has room.
constexpr int kCodeColumns = 24; // characters of code worth showing beside the cells
constexpr int kCodeRows = 6;     // lines of code worth showing under the cells
constexpr int kWidth = 1100;
constexpr int kHeight = 720;
// What a window frame and a panel may take of the screen around it.
constexpr int kFrameRoom = 24;
constexpr int kTitleRoom = 48;

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel *makeLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

StepWindow::StepWindow(const Clock *clock, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_clock(clock ? clock : &Clock::system())
    , m_model(new StepModel(this))
{
    setObjectName(QStringLiteral("StepWindow"));
    buildControls();
    buildShortcuts();
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &StepWindow::tick);
    setZoom(100);
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
    m_grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->installEventFilter(this);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &i) { choose(i.row(), i.column()); });

    m_sentence = makeLabel(QStringLiteral("sentence"), this);
    m_prompt = makeLabel(QStringLiteral("prompt"), this);
    buildCode();
    buildCounters();
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
        if (m_cursor) {
            m_cursor->setLanguage(m_language);
            m_model->setBase(m_cursor->base());
        }
        showListing();
    });
    m_code = new QListWidget(this);
    m_code->setObjectName(QStringLiteral("code"));
    m_code->setAccessibleName(QStringLiteral("Алгоритм"));
    m_code->setFocusPolicy(Qt::NoFocus);
    // Never cut: a line longer than the panel scrolls.
    m_code->setTextElideMode(Qt::ElideNone);
    m_code->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_code->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void StepWindow::buildCounters()
{
    m_stepCount = makeLabel(QStringLiteral("stepCount"), this);
    m_comparisons = makeLabel(QStringLiteral("comparisons"), this);
    m_comparisons->setToolTip(QStringLiteral(
        "Сколько раз сравнивались значения: элемент с элементом или с найденным минимумом (максимумом)"));
    m_swaps = makeLabel(QStringLiteral("swaps"), this);
    m_swaps->setToolTip(QStringLiteral("Сколько раз два элемента поменялись местами"));
    m_assignments = makeLabel(QStringLiteral("assignments"), this);
    m_assignments->setToolTip(QStringLiteral(
        "Сколько значений записано в элемент или в найденный минимум (максимум), кроме обменов: сдвиги, 100 на "
        "новом месте, копии в строку b и обратно, новый минимум (максимум)"));
    m_variables = makeLabel(QStringLiteral("variables"), this);
    m_variables->setAccessibleName(QStringLiteral("Переменные"));
}

void StepWindow::buildButtons()
{
    m_first = makeButton(QStringLiteral("В начало"), QStringLiteral("firstButton"), this);
    m_back = makeButton(QStringLiteral("Назад"), QStringLiteral("backButton"), this);
    m_forward = makeButton(QStringLiteral("Вперёд"), QStringLiteral("forwardButton"), this);
    m_last = makeButton(QStringLiteral("В конец"), QStringLiteral("lastButton"), this);
    m_play = makeButton(QStringLiteral("Пуск"), QStringLiteral("playButton"), this);
    m_pass = makeButton(QStringLiteral("Конец прохода"), QStringLiteral("passButton"), this);
    m_programButton = makeButton(QStringLiteral("Программа…"), QStringLiteral("programButton"), this);
    connect(m_first, &QPushButton::clicked, this, [this] { setStep(0); });
    connect(m_back, &QPushButton::clicked, this, [this] { setStep(m_step - 1); });
    connect(m_forward, &QPushButton::clicked, this, [this] { setStep(m_step + 1); });
    connect(m_last, &QPushButton::clicked, this, &StepWindow::toEnd);
    connect(m_play, &QPushButton::clicked, this, [this] { play(!m_timer.isActive()); });
    connect(m_pass, &QPushButton::clicked, this, &StepWindow::endOfPass);
    connect(m_programButton, &QPushButton::clicked, this, &StepWindow::showProgram);
    m_speed = new QSlider(Qt::Horizontal, this);
    m_speed->setObjectName(QStringLiteral("speed"));
    m_speed->setAccessibleName(QStringLiteral("Шагов в секунду"));
    m_speed->setRange(MinimumSpeed, MaximumSpeed);
    m_speed->setValue(2);
    connect(m_speed, &QSlider::valueChanged, this, [this](int perSecond) { m_timer.setInterval(1000 / perSecond); });
    m_guessBox = new QCheckBox(QStringLiteral("Угадывать"), this);
    m_guessBox->setObjectName(QStringLiteral("guessBox"));
    connect(m_guessBox, &QCheckBox::toggled, this, &StepWindow::startGuessing);
    m_beat.setSingleShot(true);
    connect(&m_beat, &QTimer::timeout, this, [this] {
        if (m_guessing && m_playTo >= 0 && m_step >= m_playTo)
            arrived();
    });
}

void StepWindow::layOut()
{
    auto *content = new QWidget;
    auto *right = new QVBoxLayout;
    right->addWidget(m_languageBox);
    right->addWidget(m_code, 1);
    // The counters and the variables run on as words do, so that a zoomed
    // window keeps its height for the cells and the code.
    auto *figures = new FlowLayout;
    figures->setSpacing(std::max(12, fontMetrics().averageCharWidth() * 2));
    for (QLabel *label : {m_stepCount, m_comparisons, m_swaps, m_assignments})
        figures->addWidget(label);
    right->addLayout(figures);
    right->addWidget(m_variables);
    m_top = new QBoxLayout(QBoxLayout::LeftToRight);
    m_top->addWidget(m_grid, 3);
    m_top->addLayout(right, 2);
    auto *controls = new FlowLayout;
    controls->setSpacing(6);
    for (QWidget *w :
         {static_cast<QWidget *>(m_first), static_cast<QWidget *>(m_back), static_cast<QWidget *>(m_forward),
          static_cast<QWidget *>(m_last), static_cast<QWidget *>(m_play)})
        controls->addWidget(w);
    auto *speedLabel = new QLabel(QStringLiteral("Скорость:"), this);
    speedLabel->setBuddy(m_speed);
    controls->addWidget(speedLabel);
    controls->addWidget(m_speed);
    for (QWidget *w :
         {static_cast<QWidget *>(m_pass), static_cast<QWidget *>(m_guessBox), static_cast<QWidget *>(m_programButton)})
        controls->addWidget(w);
    auto *all = new QVBoxLayout(content);
    all->addLayout(m_top, 1);
    all->addWidget(m_sentence);
    all->addWidget(m_prompt);
    all->addLayout(controls);
    // Past the screen's room at a large zoom, the whole scrolls rather than
    // the window growing past the screen's edge.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("stepScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(m_scroll);
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
            toEnd();
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
    if (watched == m_grid && event->type() == QEvent::Resize)
        fitCells();
    // The view frames its first cell as it gets the focus: asking, that cell
    // would look like a hint.
    if (watched == m_grid && event->type() == QEvent::FocusIn && asking())
        QMetaObject::invokeMethod(m_grid->selectionModel(), &QItemSelectionModel::clear, Qt::QueuedConnection);
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

void StepWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
    fitCells();
}

void StepWindow::showRun(std::shared_ptr<const StepTrace> trace, LabCode::Operation operation, const QString &caption,
                         qint16 position)
{
    play(false);
    if (m_guessing) {
        m_guessing = false;
        m_playTo = -1;
        const QSignalBlocker block(m_guessBox);
        m_guessBox->setChecked(false);
    }
    m_tally = GuessTally();
    m_cursor = std::make_unique<StepCursor>(std::move(trace), operation, position);
    m_cursor->setLanguage(m_language);
    m_caption = caption;
    setWindowTitle(QStringLiteral("Пошагово — ") + caption);
    m_pass->setVisible(LabCode::isSort(operation));
    const StepTrace &t = m_cursor->trace();
    m_model->reset(t.table() ? t.gridRows() : 1, t.gridColumns(), t.table());
    m_model->setBase(m_cursor->base());
    // The widest value the run shows: its cells only move, and inserts add 100s.
    m_widest = QStringLiteral("100");
    for (const StepTrace::State &s : {t.state(0), t.state(t.size())}) {
        for (int r = 1; r <= std::max(t.gridRows(), 1); ++r)
            for (int c = 1; c <= t.gridColumns(); ++c)
                if (QString::number(s.cells[r][c]).size() > m_widest.size())
                    m_widest = QString::number(s.cells[r][c]);
    }
    m_prompt->clear();
    m_step = 0;
    m_beat.stop();
    m_grid->scrollToTop();
    m_grid->horizontalScrollBar()->setValue(0);
    showListing();
    fitCells();
    if (!m_placed) {
        m_placed = true;
        fitToScreen();
    }
    emit stepChanged(0);
}

void StepWindow::showListing()
{
    m_code->clear();
    if (m_cursor)
        m_code->addItems(m_cursor->listing().lines);
    arrange();
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
    if (!m_cursor)
        return;
    step = std::clamp(step, 0, steps());
    if (step == m_step)
        return;
    m_step = step;
    refresh();
    emit stepChanged(step);
}

void StepWindow::refresh()
{
    if (!m_cursor)
        return;
    m_state = m_cursor->state(m_step);
    m_model->clearMarks();
    m_model->show(m_state);
    // Asking, nothing marks what comes: the misses alone stay grey.
    if (!asking())
        m_model->mark(m_cursor->touched(m_step));
    m_code->setCurrentRow(codeLine());
    showCounters();
    m_sentence->setText(sentence());
    QAccessibleEvent announce(m_sentence, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&announce);
    keepInSight();
    enableNavigation();
}

void StepWindow::showCounters()
{
    m_stepCount->setText(QStringLiteral("Шаг %1 из %2").arg(m_step).arg(steps()));
    m_comparisons->setText(QStringLiteral("Сравнений: %1").arg(m_state.comparisons));
    m_swaps->setText(QStringLiteral("Обменов: %1").arg(m_state.swaps));
    m_assignments->setText(QStringLiteral("Присваиваний: %1").arg(m_state.assignments));
    QStringList values;
    if (m_cursor) {
        for (const auto &[name, value] : m_cursor->variables(m_step))
            values << QStringLiteral("%1\u00a0=\u00a0%2").arg(name).arg(value);
    }
    // Broken between the variables only, never inside "i = 2".
    m_variables->setText(values.join(QStringLiteral("\u00a0\u00a0 ")));
}

void StepWindow::keepInSight()
{
    const QVector<StepCursor::Touch> touched = m_cursor->touched(m_step);
    if (touched.isEmpty())
        return;
    // The last cell, then the first: both where they fit, the first always.
    for (const StepCursor::Touch &t : {touched.last(), touched.first()}) {
        const QModelIndex at = m_model->index(m_cursor->trace().table() ? t.cell.row - 1 : 0, t.cell.column - 1);
        if (at.isValid())
            m_grid->scrollTo(at);
    }
}

void StepWindow::enableNavigation()
{
    const bool free = !m_guessing;
    const bool more = m_step < steps();
    m_first->setEnabled(free && m_step > 0);
    m_back->setEnabled(free && m_step > 0);
    m_forward->setEnabled(free && more);
    // While an answer is played, "В конец" shows it at once.
    m_last->setEnabled(free ? more : m_playTo >= 0);
    m_pass->setEnabled(free && more);
    m_play->setEnabled(free && (m_timer.isActive() || more));
    m_guessBox->setEnabled(m_guessing || (m_cursor && m_cursor->changes() > 0));
    m_programButton->setEnabled(m_cursor != nullptr);
}

QList<int> StepWindow::cells() const
{
    QList<int> values;
    if (!m_cursor)
        return values;
    const bool table = m_cursor->trace().table();
    for (int r = 1; r <= std::min(rows(), int(LabArrays::Bound)); ++r)
        for (int c = 1; c <= std::min(columns(), int(LabArrays::Bound)); ++c)
            values.append(m_state.cells[table ? r : 1][c]);
    return values;
}

QList<int> StepWindow::grid() const
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
    if (!m_cursor)
        return at;
    for (const StepCursor::Touch &t : m_cursor->touched(m_step))
        at.append((m_cursor->trace().table() ? t.cell.row - 1 : 0) * m_model->columnCount() + t.cell.column - 1);
    return at;
}

QVariantMap StepWindow::variables() const
{
    QVariantMap map;
    if (m_cursor) {
        for (const auto &[name, value] : m_cursor->variables(m_step))
            map.insert(name, value);
    }
    return map;
}

QString StepWindow::question() const
{
    return asking() ? m_cursor->question(m_standing) : QString();
}

QString StepWindow::program() const
{
    return m_cursor
        ? LabProgram::text(m_cursor->operation(), m_language, m_cursor->trace().state(0), m_cursor->position())
        : QString();
}

void StepWindow::showProgram()
{
    if (!m_cursor)
        return;
    auto *dialog = new ProgramDialog(QStringLiteral("Программа — %1 (%2)").arg(m_caption, language()), program(),
                                     LabProgram::suffix(m_language), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->resize(std::min(width(), 900), std::min(height(), 640));
    dialog->open();
}

void StepWindow::play(bool on)
{
    if (on && m_step < steps()) {
        m_timer.start(1000 / m_speed->value());
    } else {
        m_timer.stop();
    }
    m_play->setText(m_timer.isActive() && !m_guessing ? QStringLiteral("Пауза") : QStringLiteral("Пуск"));
    enableNavigation();
}

void StepWindow::tick()
{
    setStep(m_step + 1);
    if (m_guessing && m_playTo >= 0) {
        if (m_step >= m_playTo) {
            // The change just played stays marked a beat before the next question.
            m_timer.stop();
            m_beat.start(m_timer.interval());
        }
        return;
    }
    if (m_step >= steps())
        play(false);
}

void StepWindow::endOfPass()
{
    // The last step before the next pass starts, or the end of the run.
    const QVector<int> &starts = m_cursor->trace().passStarts();
    const auto next = std::upper_bound(starts.cbegin(), starts.cend(), m_step + 1);
    setStep(next == starts.cend() ? steps() : *next - 1);
}

void StepWindow::toEnd()
{
    if (m_guessing && m_playTo >= 0) {
        setStep(m_playTo);
        playTo(m_playTo);
        return;
    }
    setStep(steps());
}

void StepWindow::startGuessing(bool on)
{
    play(false);
    m_guessing = on && m_cursor;
    m_playTo = -1;
    if (!m_guessing) {
        m_prompt->clear();
        refresh();
        return;
    }
    // From the run's first step: a record says how much of the whole was guessed.
    m_tally = GuessTally();
    m_guessStarted = m_clock->now();
    m_standing = 0;
    m_grid->setFocus();
    ask();
}

void StepWindow::ask()
{
    m_playTo = -1;
    if (m_cursor->nextChange(m_standing) > steps()) {
        playTo(steps()); // the rest goes by to the end
        return;
    }
    if (m_step != m_standing) {
        m_step = m_standing;
        emit stepChanged(m_step);
    }
    refresh();
    // No cell framed by the keyboard's focus: it would point somewhere.
    m_grid->selectionModel()->clear();
    m_prompt->setText(QStringLiteral("%1\nУгадано %2 из %3")
                          .arg(m_cursor->question(m_standing))
                          .arg(m_tally.right())
                          .arg(m_tally.guesses()));
}

void StepWindow::playTo(int step)
{
    if (m_step < step) {
        m_playTo = step;
        m_timer.start(1000 / m_speed->value());
        refresh();
        // The question is answered: while it plays, the count alone.
        m_prompt->setText(QStringLiteral("Угадано %1 из %2").arg(m_tally.right()).arg(m_tally.guesses()));
        return;
    }
    m_timer.stop();
    arrived();
}

void StepWindow::arrived()
{
    // The change shown, the next question; or the run's end.
    m_beat.stop();
    if (m_step >= steps() && m_cursor->nextChange(m_standing) > steps()) {
        finishGuessing();
        return;
    }
    m_standing = m_step;
    ask();
}

void StepWindow::choose(int row, int column)
{
    if (!asking() || row < 0 || column < 0)
        return;
    const LabObserver::Cell cell{qint16(m_cursor->trace().table() ? row + 1 : 1), qint16(column + 1)};
    const int change = m_cursor->nextChange(m_standing);
    if (m_tally.choose(*m_cursor, change, cell) == GuessTally::Choice::Wrong) {
        m_model->miss(cell);
        m_prompt->setText(QStringLiteral("Не эта ячейка, попробуйте ещё. %1\nУгадано %2 из %3")
                              .arg(m_cursor->question(m_standing))
                              .arg(m_tally.right())
                              .arg(m_tally.guesses()));
        return;
    }
    playTo(change);
}

void StepWindow::finishGuessing()
{
    m_guessing = false;
    m_playTo = -1;
    {
        const QSignalBlocker block(m_guessBox);
        m_guessBox->setChecked(false);
    }
    refresh();
    m_prompt->setText(QStringLiteral("Угадано %1 из %2").arg(m_tally.right()).arg(m_tally.guesses()));
    if (m_cursor->changes() > 0)
        emit guessed(m_cursor->changes(), m_tally.guesses(), m_tally.right(), m_guessStarted);
}

void StepWindow::report(const QString &line)
{
    // A later line about the same record stands in place of the one before.
    QString text = m_prompt->text();
    if (!m_handInLine.isEmpty() && text.endsWith(QLatin1Char('\n') + m_handInLine))
        text.chop(m_handInLine.size() + 1);
    m_handInLine = line;
    m_prompt->setText(text + QLatin1Char('\n') + line);
}

void StepWindow::fitToScreen()
{
    const QScreen *where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!where)
        return;
    const QRect room = where->availableGeometry();
    const QSize size(std::min(kWidth, room.width() - kFrameRoom), std::min(kHeight, room.height() - kTitleRoom));
    resize(size);
    move(room.x() + (room.width() - size.width()) / 2, room.y() + (room.height() - size.height() - kTitleRoom) / 2);
}

QSizeF StepWindow::cellSize(QFont &cell, qreal points) const
{
    cell.setBold(true);
    cell.setPointSizeF(points);
    const QFontMetricsF metrics(cell);
    return {metrics.horizontalAdvance(m_widest) + metrics.averageCharWidth() * 1.5, metrics.height() * 1.3};
}

void StepWindow::arrange()
{
    // The code as wide as its longest line, up to half the window; the cells
    // beside it while the rest holds two cells of the least size (a compared
    // pair) and the code a line's worth, the code under the cells past that.
    const QFontMetrics code(m_code->font());
    int longest = 0;
    for (int row = 0; row < m_code->count(); ++row)
        longest = std::max(longest, code.horizontalAdvance(m_code->item(row)->text()));
    const int codeWidth = longest + code.averageCharWidth() * 2 + m_code->verticalScrollBar()->sizeHint().width()
        + 2 * m_code->frameWidth();
    QFont cell = font();
    const QSizeF leastCell = cellSize(cell, SmallestCellPoints * m_zoom / 100.0);
    const qreal least = leastCell.width();
    // The window's own width: its children are laid out only once it is shown.
    // The code takes what the cells of the least size leave, at least two
    // fifths of the window.
    const int apart
        = m_grid->verticalHeader()->sizeHint().width() + 2 * m_grid->frameWidth() + 4 * std::max(m_top->spacing(), 6);
    const int cells = int(std::ceil(least * std::max(m_model->columnCount(), 1))) + apart;
    const int beside = std::min({codeWidth, width() / 2, std::max(width() - cells, width() * 2 / 5)});
    // Side by side only while the code shows a line's worth of it.
    const bool sideBySide = width() - beside - apart >= 2 * least && beside >= kCodeColumns * code.averageCharWidth();
    m_code->setMinimumWidth(sideBySide ? beside : 0);
    // One above the other, each keeps a height worth showing; the window scrolls.
    const int rows = std::max(m_model->rowCount(), 1);
    const int cellsHigh = int(leastCell.height() * rows) + m_grid->horizontalHeader()->sizeHint().height()
        + 2 * m_grid->frameWidth() + m_grid->horizontalScrollBar()->sizeHint().height();
    m_grid->setMinimumHeight(sideBySide ? 0 : std::min(cellsHigh, height() / 2));
    m_code->setMinimumHeight(sideBySide ? 0 : code.lineSpacing() * kCodeRows + 2 * m_code->frameWidth());
    const auto direction = sideBySide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
    if (m_top->direction() != direction)
        m_top->setDirection(direction);
}

void StepWindow::fitCells()
{
    if (!m_cursor || m_model->columnCount() == 0)
        return;
    const qreal scale = m_zoom / 100.0;
    const int rows = std::max(m_model->rowCount(), 1);
    const int columns = m_model->columnCount();
    const int frame = 2 * m_grid->frameWidth();
    const int width = m_grid->width() - m_grid->verticalHeader()->sizeHint().width() - frame;
    const int height = m_grid->height() - m_grid->horizontalHeader()->sizeHint().height() - frame;
    QFont cell = font();
    const auto size = [&](qreal points) { return cellSize(cell, points); };
    // The largest size the grid's room takes whole; never below the least.
    qreal low = SmallestCellPoints * scale;
    qreal high = kLargestCellPoints * scale;
    for (int k = 0; k < 12; ++k) {
        const qreal middle = (low + high) / 2;
        const QSizeF s = size(middle);
        if (s.width() * columns <= width && s.height() * rows <= height)
            low = middle;
        else
            high = middle;
    }
    const QSizeF s = size(low);
    m_grid->setFont(cell);
    m_grid->horizontalHeader()->setDefaultSectionSize(int(s.width()));
    m_grid->verticalHeader()->setDefaultSectionSize(int(s.height()));
    m_grid->horizontalHeader()->setMinimumSectionSize(1);
    m_grid->verticalHeader()->setMinimumSectionSize(1);
}

void StepWindow::setZoom(int percent)
{
    m_zoom = percent;
    const qreal scale = percent / 100.0;
    // The whole window: every control's text, the code and the cells.
    QFont text = QApplication::font();
    text.setPointSizeF(kTextPoints * scale);
    setFont(text);
    QFont code = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    code.setPointSizeF(kCodePoints * scale);
    m_code->setFont(code);
    QFont headers = text;
    headers.setPointSizeF(kTextPoints * scale * 0.8);
    m_grid->horizontalHeader()->setFont(headers);
    m_grid->verticalHeader()->setFont(headers);
    arrange();
    fitCells();
    keepInSight();
    // The lit line in view again once the code is laid out in its new size.
    QMetaObject::invokeMethod(
        m_code, [this] { m_code->scrollToItem(m_code->currentItem(), QAbstractItemView::PositionAtCenter); },
        Qt::QueuedConnection);
}
