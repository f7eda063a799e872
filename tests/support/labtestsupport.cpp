#include "labtestsupport.h"

#include "core/randomsource.h"
#include "doloranform.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/printsurface.h"
#include "formundertest.h"
#include "pelmarform.h"

#include <QTest>

LabFixture::LabFixture(Lab lab)
{
    if (lab == Lab::Doloran)
        m_form = std::make_unique<DoloranForm>();
    else
        m_form = std::make_unique<PelmarForm>();
    FormUnderTest::start(*m_form, m_form->Timer1, {&m_clock, &m_input, 11});
}

CommandButton *LabFixture::button(const char *name) const
{
    return m_form->button(QString::fromLatin1(name));
}

void LabFixture::click(const char *name)
{
    CommandButton *b = button(name);
    Q_ASSERT(b);
    // Press through the button's own mouse handling wherever the layout put it.
    QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
}

void LabFixture::clickWindow()
{
    QTest::mouseClick(m_form->surface(), Qt::LeftButton, {}, QPoint(20, m_form->height() - 20));
}

void LabFixture::doubleClickWindow()
{
    QTest::mouseDClick(m_form->windowHandle(), Qt::LeftButton, {}, QPoint(20, m_form->height() - 20));
}

void LabFixture::setSizes(int m, int n)
{
    m_input.reply(QString::number(m));
    m_input.reply(QString::number(n));
    click(m_form->design().sizeInput.toLatin1().constData());
}

void LabFixture::fillLinear(const QVector<int> &values)
{
    setSizes(values.size(), 1);
    click("Command1");
    for (int k = 0; k < values.size(); ++k)
        m_form->arrays().setElement(k + 1, qint16(values[k]));
}

void LabFixture::fillTable(int m, int n)
{
    setSizes(m, n);
    click("Command2");
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= m; ++j)
            m_form->arrays().setCell(i, j, qint16(100 * i + j));
}

QStringList LabFixture::printed() const
{
    return m_form->surface()->lines();
}

QList<quint32> LabFixture::colours(int line) const
{
    QList<quint32> result;
    for (const QVariant &v : m_form->surface()->items()) {
        const QVariantMap item = v.toMap();
        bool number = false;
        item.value("text").toString().trimmed().toInt(&number);
        if (item.value("line").toInt() == line && number)
            result << item.value("color").toUInt();
    }
    return result;
}

QString LabFixture::enabledButtons() const
{
    QStringList names;
    for (const LabDesign::Button &entry : m_form->design().buttons) {
        if (m_form->button(entry.name)->isEnabled())
            names << entry.name;
    }
    names.sort();
    return names.join(QLatin1Char(' '));
}

QString LabFixture::numbers(const QVector<int> &values)
{
    QString line;
    for (int v : values)
        line += QStringLiteral(" %1 ").arg(v);
    return line;
}
