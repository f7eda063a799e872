#include "forms/form.h"

#include "core/clock.h"
#include "core/convert.h"
#include "core/randomsource.h"
#include "forms/inputprovider.h"
#include "forms/printsurface.h"
#include "print/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QResizeEvent>

Form::Form(QWidget *parent)
    : QWidget(parent)
    , m_surface(new PrintSurface(this))
    , m_clock(&Clock::system())
    , m_random(new RandomSource)
    , m_defaultInput(new InputProvider)
    , m_input(m_defaultInput)
{
    setObjectName(QStringLiteral("Form1"));
    m_surface->lower();
    connect(m_surface, &PrintSurface::clicked, this, [this] { Form_Click(); });
    connect(m_surface, &PrintSurface::doubleClicked, this, [this] { Form_DblClick(); });
    // Once the program is quitting, every dialog it opens returns at once.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_closing = true; });
}

Form::~Form()
{
    delete m_random;
    delete m_defaultInput;
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    Form_Load();
}

void Form::showForm()
{
    load();
    show();
}

PrintModel &Form::printModel()
{
    return m_surface->model();
}

const PrintModel &Form::printModel() const
{
    return m_surface->model();
}

quint32 Form::ForeColor() const
{
    return printModel().foreColor();
}
void Form::setForeColor(quint32 color)
{
    printModel().setForeColor(color);
}
qreal Form::FontSize() const
{
    return printModel().fontSize();
}
void Form::setFontSize(qreal size)
{
    printModel().setFontSize(size);
}
bool Form::FontBold() const
{
    return printModel().fontBold();
}
void Form::setFontBold(bool on)
{
    printModel().setFontBold(on);
}
void Form::setFontItalic(bool on)
{
    printModel().setFontItalic(on);
}
bool Form::FontUnderline() const
{
    return printModel().fontUnderline();
}
void Form::setFontUnderline(bool on)
{
    printModel().setFontUnderline(on);
}

void Form::setBackColor(quint32 color)
{
    m_surface->setBackColor(color);
}

int Form::ScaleWidth() const
{
    return Twips::fromPixels(width());
}

int Form::ScaleHeight() const
{
    return Twips::fromPixels(height());
}

void Form::setClientSize(int widthTwips, int heightTwips)
{
    resize(Twips::toPixels(widthTwips), Twips::toPixels(heightTwips));
}

void Form::Cls()
{
    printModel().clear();
    changed();
}

void Form::Print()
{
    printModel().endLine();
    changed();
}

void Form::Print(const QString &text, Separator separator)
{
    printModel().print(text, separator);
    changed();
}

void Form::Print(const char *text, Separator separator)
{
    Print(QString::fromUtf8(text), separator);
}

void Form::Print(int number, Separator separator)
{
    Print(Convert::numberText(number) + QLatin1Char(' '), separator);
}

QString Form::clockLine(double startTime) const
{
    const QDateTime now = m_clock->now();
    const qint64 worked = Convert::elapsedSeconds(now.time().msecsSinceStartOfDay() / 86400000.0, startTime);
    return QStringLiteral("Дата ") + Convert::dateText(now.date()) + QStringLiteral("    ") + QStringLiteral("Время ")
        + Convert::timeText(now.time()) + QStringLiteral("   ") + QStringLiteral("Время работы ")
        + Convert::spanText(worked);
}

std::optional<QString> Form::InputBox(const QString &prompt)
{
    return m_input->ask(this, prompt);
}

void Form::setClock(const Clock *clock)
{
    m_clock = clock;
    clockChanged();
}

void Form::setInputProvider(InputProvider *input)
{
    m_input = input ? input : m_defaultInput;
}

void Form::End()
{
    m_closing = true;
    emit ended();
    close();
}

void Form::resizeEvent(QResizeEvent *event)
{
    m_surface->setGeometry(rect());
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form::showEvent(QShowEvent *event)
{
    load();
    QWidget::showEvent(event);
}

void Form::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    QWidget::closeEvent(event);
}

void Form::changed()
{
    m_surface->update();
    printChanged();
}
