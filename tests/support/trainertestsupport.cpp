#include "trainertestsupport.h"

#include "core/randomsource.h"
#include "forms/checkbox.h"
#include "forms/commandbutton.h"
#include "forms/formtimer.h"
#include "forms/listbox.h"
#include "forms/printsurface.h"
#include "formundertest.h"

#include <QFile>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

TrainerFixture::TrainerFixture()
    : TrainerFixture(numberedLines("q", Pairs), numberedLines("a", Pairs))
{}

TrainerFixture::TrainerFixture(const std::optional<QByteArray> &questions, const std::optional<QByteArray> &answers)
{
    if (questions)
        writeFile(m_dir.filePath("test.txt"), *questions);
    if (answers)
        writeFile(m_dir.filePath("test1.txt"), *answers);
    start();
}

TrainerFixture::TrainerFixture(const QString &folder, InputProvider *input)
    : m_folder(folder)
    , m_replies(input ? input : &m_input)
{
    start();
}

QByteArray TrainerFixture::numberedLines(const char *prefix, int count)
{
    QByteArray bytes;
    for (int k = 0; k < count; ++k)
        bytes += QByteArray(prefix) + QByteArray::number(k) + "\r\n";
    return bytes;
}

void TrainerFixture::start()
{
    m_form = std::make_unique<TrainerForm>(m_folder);
    FormUnderTest::start(*m_form, m_form->Timer1, {&m_clock, m_replies, 7});
}

void TrainerFixture::handInTo(const QString &folder)
{
    m_form.reset(); // a window closed before the next opens, as a pupil does it
    m_form = std::make_unique<TrainerForm>(m_folder);
    m_form->setResultsFolder(folder);
    FormUnderTest::start(*m_form, m_form->Timer1, {&m_clock, m_replies, 7});
}

void TrainerFixture::click(QAbstractButton *button)
{
    // Bare check boxes are tiny; press on the box itself.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void TrainerFixture::clickRow(ListBox *list, int row)
{
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

QStringList TrainerFixture::printed() const
{
    return m_form->surface()->lines();
}

QString TrainerFixture::modeButtons() const
{
    QString states;
    for (const CommandButton *b : {m_form->Command1, m_form->Command2, m_form->Command6, m_form->Command3})
        states += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return states;
}

QString TrainerFixture::modeBoxes() const
{
    QString states;
    for (const CheckBox *b : {m_form->Check1, m_form->Check2, m_form->Check4})
        states += QString::number(b->Value());
    return states;
}
