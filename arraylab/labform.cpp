#include "labform.h"

#include "core/clock.h"
#include "core/convert.h"
#include "core/randomsource.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/inputprovider.h"
#include "forms/printsurface.h"
#include "forms/textbox.h"
#include "ownarraydialog.h"
#include "print/pngresource.h"
#include "steps/steptrace.h"
#include "stepwindow.h"

#include "resultcourier.h"

#include <QCoreApplication>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

const QString LabForm::LinearTitle = QStringLiteral("1-й массив - одномерный (линейный) случайных целых чисел");
const QString LabForm::TableTitle = QStringLiteral("2-й массив - двумерный (таблица) случайных целых чисел");

namespace {
const QString kWindowFont = QStringLiteral("MS Sans Serif");
// How long a window manager may take to maximize the window.
constexpr int kGrowPatienceMilliseconds = 300;
} // namespace

LabForm::LabForm(const LabDesign &design, QWidget *parent)
    : Form(parent)
    , m_design(design)
{
    setWindowTitle(design.caption);
    const QString icons = QStringLiteral(":/%1/%1-%2.png");
    setWindowIcon(PngResource::icon(
        {icons.arg(design.iconName, QLatin1String("16")), icons.arg(design.iconName, QLatin1String("32"))}));
    setClientSize(design.clientWidth, design.clientHeight);
    setBackColor(design.backColor);
    printModel().setFamily(kWindowFont);
    buildControls();
}

void LabForm::buildControls()
{
    QList<QWidget *> tabOrder;
    for (const LabDesign::Button &entry : m_design.buttons) {
        if (tabOrder.size() == m_design.text1TabIndex)
            tabOrder.append(nullptr); // the clock box's place, filled below
        auto *b = new CommandButton(entry.name, entry.caption, this);
        if (entry.fontFamily.isEmpty())
            b->setFontSpec(kWindowFont, 8.25, false);
        else
            b->setFontSpec(entry.fontFamily, entry.fontSize, true);
        b->Move(0, 0, m_design.buttonWidth, m_design.buttonHeight);
        m_buttons.insert(entry.name, b);
        tabOrder.append(b);
    }
    Text1 = new TextBox(QStringLiteral("Text1"), this);
    Text1->Move(m_design.text1Left, m_design.text1Top, m_design.text1Width, 1215);
    Text1->setFontSpec(QStringLiteral("Georgia"), 12, true);
    Text1->setAccessibleName(QStringLiteral("Дата и время"));
    if (m_design.text1BackColor)
        Text1->setBackColor(*m_design.text1BackColor);
    if (m_design.text1ForeColor)
        Text1->setForeColor(*m_design.text1ForeColor);
    if (m_design.text1TabIndex < tabOrder.size())
        tabOrder[m_design.text1TabIndex] = Text1;
    else
        tabOrder.append(Text1);
    buildStepControls(tabOrder);
    buildScrolling();
    for (int t = 0; t + 1 < tabOrder.size(); ++t)
        QWidget::setTabOrder(tabOrder[t], tabOrder[t + 1]);

    Timer1 = new FormTimer(QStringLiteral("Timer1"), &clock(), this);
    connect(Timer1, &FormTimer::Timer, this, &LabForm::Timer1_Timer);
    connect(button(QStringLiteral("Command1")), &CommandButton::Click, this, &LabForm::fillLinear);
    connect(button(QStringLiteral("Command2")), &CommandButton::Click, this, &LabForm::fillTable);
    connect(button(QStringLiteral("Command3")), &CommandButton::Click, this, &LabForm::exitLab);
    connect(button(m_design.sizeInput), &CommandButton::Click, this, &LabForm::sizeInput);
}

void LabForm::buildStepControls(QList<QWidget *> &tabOrder)
{
    ownArrayButton = new CommandButton(QStringLiteral("ownArrayButton"), QStringLiteral("Свой массив…"), this);
    ownArrayButton->setFontSpec(kWindowFont, 8.25, false);
    ownArrayButton->Move(0, 0, m_design.buttonWidth, m_design.buttonHeight);
    stepsBox = new CheckBox(QStringLiteral("stepsBox"), this);
    stepsBox->setText(QStringLiteral("По шагам"));
    stepsBox->setFontSpec(kWindowFont, 8.25, true);
    stepsBox->setBackColor(m_design.backColor);
    stepsBox->Move(0, 0, m_design.buttonWidth, m_design.buttonHeight);
    tabOrder << ownArrayButton << stepsBox;
    connect(ownArrayButton, &CommandButton::Click, this, &LabForm::ownArray);
    const auto key = [this](const QKeySequence &sequence, int direction) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, [this, direction] { zoomBy(direction); });
    };
    key(QKeySequence::ZoomIn, 1);
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), 1); // Ctrl++ without Shift
    key(QKeySequence::ZoomOut, -1);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), 0);
}

void LabForm::zoomBy(int direction)
{
    m_zoom = direction == 0 ? MinimumZoom : std::clamp(m_zoom + direction * ZoomStep, MinimumZoom, MaximumZoom);
    surface()->setZoom(m_zoom / 100.0);
    if (m_stepWindow)
        m_stepWindow->setZoom(m_zoom);
    fitPrint();
}

void LabForm::buildScrolling()
{
    for (QScrollBar **bar : {&m_across, &m_down}) {
        *bar = new QScrollBar(bar == &m_across ? Qt::Horizontal : Qt::Vertical, this);
        (*bar)->hide();
        connect(*bar, &QScrollBar::valueChanged, this,
                [this] { surface()->setOffset(QPoint(m_across->value(), m_down->value())); });
    }
    m_across->setObjectName(QStringLiteral("printAcross"));
    m_down->setObjectName(QStringLiteral("printDown"));
    m_across->setAccessibleName(QStringLiteral("Прокрутка вывода по горизонтали"));
    m_down->setAccessibleName(QStringLiteral("Прокрутка вывода по вертикали"));
    surface()->installEventFilter(this);
}

bool LabForm::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel scrolls a zoomed print that does not fit.
    if (watched == surface() && event->type() == QEvent::Wheel && m_down->isVisible()) {
        QCoreApplication::sendEvent(m_down, event);
        return true;
    }
    return Form::eventFilter(watched, event);
}

QRect LabForm::controlsBlock() const
{
    QRect block;
    for (const QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w != surface() && w != m_across && w != m_down && w->isVisibleTo(this) && !w->isWindow())
            block = block.united(w->geometry());
    }
    return block;
}

void LabForm::fitPrint()
{
    if (m_zoom == MinimumZoom) {
        // As designed again: the window's own size, nothing scrolled.
        if (m_grown)
            setWindowState(windowState() & ~Qt::WindowMaximized);
        m_grown = false;
        m_across->hide();
        m_down->hide();
        surface()->setOffset(QPoint());
        return;
    }
    const QSize drawn = surface()->drawnSize();
    // A print that no longer fits takes the screen first, and then scrolls.
    if (!m_grown && (drawn.width() > width() || drawn.height() > height()) && isVisible()) {
        m_grown = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        // Without a window manager nothing maximizes: the window takes the
        // screen's free area itself.
        QTimer::singleShot(kGrowPatienceMilliseconds, this, [this] {
            const QScreen *where = screen();
            if (!m_grown || !where || width() >= where->availableGeometry().width() * 9 / 10)
                return;
            const QMargins frame(x() - frameGeometry().x(), y() - frameGeometry().y(),
                                 frameGeometry().right() - geometry().right(),
                                 frameGeometry().bottom() - geometry().bottom());
            setGeometry(where->availableGeometry() - frame);
        });
        return; // the resize comes back here
    }
    const int thick = m_down->sizeHint().width();
    const QRect block = controlsBlock();
    const int downTo = block.isValid() ? block.top() - 4 : height() - thick;
    const int acrossTo = block.isValid() ? block.left() - 4 : width() - thick;
    m_down->setGeometry(width() - thick, 0, thick, std::max(downTo, thick));
    m_across->setGeometry(0, height() - thick, std::max(acrossTo, thick), thick);
    for (QScrollBar *bar : {m_across, m_down}) {
        const bool across = bar == m_across;
        const int overflow = (across ? drawn.width() - width() : drawn.height() - height()) + thick;
        bar->setRange(0, std::max(0, overflow));
        bar->setPageStep(across ? width() : height());
        bar->setSingleStep(20);
        bar->setVisible(overflow > thick);
        bar->raise();
    }
}

void LabForm::printChanged()
{
    if (m_zoom != MinimumZoom)
        fitPrint();
}

void LabForm::clockChanged()
{
    Timer1->setClock(&clock());
}

void LabForm::Form_Load()
{
    for (const QString &name : std::as_const(m_design.disabledAtStart))
        button(name)->setEnabled(false);
    ownArrayButton->setEnabled(false);
    startTime = clock().timeOfDaySingle();
    Timer1->followSpanFrom(startTime);
    Text1->hide();
}

void LabForm::Form_Resize()
{
    const int width = ScaleWidth();
    const int height = ScaleHeight();
    for (const LabDesign::Place &place : std::as_const(m_design.layout)) {
        if (place.control == QLatin1String("Text1")) {
            Text1->setTop(height - place.dy);
            Text1->setLeft(width - place.dx);
        } else if (place.control == stepsBox->objectName()) {
            stepsBox->setTop(height - place.dy);
            stepsBox->setLeft(width - place.dx);
        } else if (place.control == ownArrayButton->objectName()) {
            ownArrayButton->setTop(height - place.dy);
            ownArrayButton->setLeft(width - place.dx);
        } else {
            CommandButton *b = button(place.control);
            b->setTop(height - place.dy);
            b->setLeft(width - place.dx);
        }
    }
    if (m_across)
        fitPrint();
}

void LabForm::Timer1_Timer()
{
    Text1->setText(clockLine(startTime));
}

void LabForm::exitLab()
{
    End();
}

std::optional<qint16> LabForm::askNumber(const QString &prompt, qint16 limit)
{
    for (;;) {
        const std::optional<QString> reply = InputBox(prompt);
        if (!reply)
            return std::nullopt;
        // Not a number, or too large: the same question again.
        const std::optional<qint16> value = Convert::toInteger16(*reply);
        if (value && *value <= limit)
            return value;
    }
}

PrintState LabForm::titleStyle(bool italic)
{
    const PrintState before = printState();
    setFontSize(12);
    setForeColor(TitleColor);
    if (italic)
        setFontItalic(true);
    setFontBold(true);
    return before;
}

std::optional<qint16> LabForm::askOrRestore(const QString &prompt, qint16 limit, const PrintState &before)
{
    const std::optional<qint16> value = askNumber(prompt, limit);
    if (!value)
        setPrintState(before); // a cancelled prompt changes nothing
    return value;
}

void LabForm::sizeInput()
{
    const PrintState before = titleStyle(false);
    const std::optional<qint16> columns
        = askOrRestore(QStringLiteral("Введите m - число столбцов (не более 30)"), 30, before);
    // Both sizes or neither.
    const std::optional<qint16> rows
        = columns ? askOrRestore(QStringLiteral("Введите n - число строк (не более 30)"), 30, before) : std::nullopt;
    if (!rows)
        return;
    m_arrays.setSizes(*columns, *rows);
    button(QStringLiteral("Command1"))->setEnabled(true);
    button(QStringLiteral("Command2"))->setEnabled(true);
    ownArrayButton->setEnabled(true);
}

void LabForm::startLinearPrint()
{
    setFontSize(12);
    setForeColor(TitleColor);
    setFontBold(true);
    setFontUnderline(true);
    Cls();
    Print(LinearTitle);
    setFontUnderline(false);
}

void LabForm::startTablePrint()
{
    setFontSize(12);
    setForeColor(TitleColor);
    setFontItalic(true);
    setFontBold(true);
    setFontUnderline(true);
    Cls();
    Print(TableTitle);
    setFontItalic(false);
    setFontUnderline(false);
}

void LabForm::fillLinear()
{
    random().reseed(clock().secondsSinceMidnight());
    m_arrays.fillLinear(random());
    showLinear();
}

void LabForm::fillTable()
{
    random().reseed(clock().secondsSinceMidnight());
    m_arrays.fillTable(random());
    showTable();
}

void LabForm::showLinear()
{
    startLinearPrint();
    setForeColor(MarkColor);
    printLinear();
    current = Current::Linear;
    linearFilled();
}

void LabForm::showTable()
{
    startTablePrint();
    setForeColor(MarkColor);
    printTable();
    current = Current::Table;
    tableFilled();
}

void LabForm::ownArray()
{
    random().reseed(clock().secondsSinceMidnight());
    // Window-modal without a loop of its own: the lab's clock goes on.
    auto *dialog = new OwnArrayDialog(m_arrays.m(), m_arrays.n(), random(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { fillOwn(dialog->table(), dialog->values()); });
    dialog->open();
}

void LabForm::fillOwn(bool table, const QVector<qint16> &values)
{
    ArrayInput::put(m_arrays, table, values);
    if (table)
        showTable();
    else
        showLinear();
}

void LabForm::traced(LabCode::Operation operation, const QString &caption, qint16 position,
                     const std::function<void(LabObserver *)> &run)
{
    if (stepsBox->Value() != 1) {
        run(nullptr);
        return;
    }
    auto trace = std::make_shared<StepTrace>(m_arrays, LabCode::onTable(operation));
    run(trace.get());
    if (!m_stepWindow) {
        m_stepWindow = new StepWindow(&clock(), this);
        m_stepWindow->setZoom(m_zoom);
        connect(m_stepWindow, &StepWindow::zoomAsked, this, &LabForm::zoomBy);
        connect(m_stepWindow, &StepWindow::guessed, this, &LabForm::handIn);
    }
    m_stepWindow->showRun(std::move(trace), operation, caption, position);
    m_stepWindow->show();
    m_stepWindow->raise();
}

void LabForm::handIn(int changes, int guesses, int right, const QDateTime &started)
{
    const StepTrace &trace = *m_stepWindow->trace();
    const StepTrace::State before = trace.state(0);
    ResultRecord::LabRun run;
    run.lab = m_design.iconName;
    run.operation = m_stepWindow->operation();
    run.rows = trace.table() ? before.rows : 1;
    run.columns = before.columns;
    run.guesses = guesses;
    run.guessedRight = right;
    run.changes = changes;
    if (!m_handIn.handIn(LabHandIn::record(run, started, clock().now())))
        return;
    connect(m_handIn.courier(), &ResultCourier::reported, m_stepWindow, &StepWindow::report, Qt::UniqueConnection);
}

void LabForm::printLinear()
{
    for (int e = 1; e <= m_arrays.m(); ++e)
        Print(m_arrays.linear()[e], Separator::SameLine);
}

void LabForm::printTable()
{
    for (int row = 1; row <= m_arrays.n(); ++row) {
        for (int column = 1; column <= m_arrays.m(); ++column)
            Print(m_arrays.table()[row][column], Separator::SameLine);
        Print();
    }
}

void LabForm::printExtremeSummary(Extreme kind)
{
    Print(kind == Extreme::Minimum ? QStringLiteral("min=") : QStringLiteral("max="), Separator::SameLine);
    Print(m_arrays.extreme(), Separator::NextZone);
    Print(m_arrays.count(), Separator::SameLine);
    Print(QStringLiteral("шт"));
}

void LabForm::printMarkedLinear()
{
    for (int e = 1; e <= m_arrays.m(); ++e) {
        const qint16 value = m_arrays.linear()[e];
        setForeColor(value == m_arrays.extreme() ? MarkColor : PlainColor);
        Print(value, Separator::SameLine);
        setForeColor(MarkColor);
    }
}

void LabForm::printMarkedTable()
{
    for (int row = 1; row <= m_arrays.n(); ++row) {
        for (int column = 1; column <= m_arrays.m(); ++column) {
            const qint16 value = m_arrays.table()[row][column];
            setForeColor(value == m_arrays.extreme() ? MarkColor : PlainColor);
            Print(value, Separator::SameLine);
            setForeColor(MarkColor);
        }
        Print();
    }
}

void LabForm::showExtremeLinear(Extreme kind, bool showClockAfterTitle, LabObserver *observer)
{
    startLinearPrint();
    setForeColor(PlainColor);
    if (showClockAfterTitle)
        Text1->show();
    m_arrays.findExtremeLinear(kind, observer);
    printMarkedLinear();
    Print();
    Print();
    printExtremeSummary(kind);
}

void LabForm::showExtremeTable(Extreme kind, LabObserver *observer)
{
    startTablePrint();
    setForeColor(PlainColor);
    m_arrays.findExtremeTable(kind, observer);
    printMarkedTable();
    Print();
    printExtremeSummary(kind);
}

void LabForm::showExtreme(Extreme kind, const QString &caption)
{
    const bool minimum = kind == Extreme::Minimum;
    if (current == Current::Linear) {
        if (caption.isEmpty())
            showExtremeLinear(kind, false);
        else
            traced(minimum ? LabCode::Operation::MinLinear : LabCode::Operation::MaxLinear, caption, 0,
                   [&](LabObserver *o) { showExtremeLinear(kind, false, o); });
    }
    if (current == Current::Table) {
        if (caption.isEmpty())
            showExtremeTable(kind);
        else
            traced(minimum ? LabCode::Operation::MinTable : LabCode::Operation::MaxTable, caption, 0,
                   [&](LabObserver *o) { showExtremeTable(kind, o); });
    }
}
