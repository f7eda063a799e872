#include "ownarraydialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Typed in is the last choice; the others are ArrayInput's patterns in order.
constexpr int kTyped = 4;

QRadioButton *option(const QString &caption, const QString &name, QWidget *parent)
{
    auto *b = new QRadioButton(caption, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

OwnArrayDialog::OwnArrayDialog(int m, int n, RandomSource &random, QWidget *parent)
    : QDialog(parent)
    , m_m(std::clamp(m, 0, 40))
    , m_n(std::clamp(n, 0, 40))
    , m_random(random)
    , m_patterns(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("OwnArrayDialog"));
    setWindowTitle(QStringLiteral("Свой массив"));
    auto *which = new QGroupBox(QStringLiteral("Массив"), this);
    m_linear = option(QStringLiteral("Одномерный (линейный)"), QStringLiteral("linearOption"), which);
    m_table = option(QStringLiteral("Двумерный (таблица)"), QStringLiteral("tableOption"), which);
    m_linear->setChecked(true);
    auto *whichLayout = new QVBoxLayout(which);
    whichLayout->addWidget(m_linear);
    whichLayout->addWidget(m_table);

    auto *how = new QGroupBox(QStringLiteral("Значения"), this);
    auto *howLayout = new QVBoxLayout(how);
    const QStringList captions{QStringLiteral("Случайные"), QStringLiteral("По возрастанию"),
                               QStringLiteral("По убыванию"), QStringLiteral("С повторами"),
                               QStringLiteral("Ввести самому")};
    const QStringList names{QStringLiteral("randomOption"), QStringLiteral("ascendingOption"),
                            QStringLiteral("descendingOption"), QStringLiteral("repeatsOption"),
                            QStringLiteral("typedOption")};
    for (int k = 0; k < captions.size(); ++k) {
        QRadioButton *b = option(captions[k], names[k], how);
        m_patterns->addButton(b, k);
        howLayout->addWidget(b);
    }
    m_patterns->button(0)->setChecked(true);
    m_typed = new QPlainTextEdit(this);
    m_typed->setObjectName(QStringLiteral("typedValues"));
    m_typed->setAccessibleName(QStringLiteral("Числа через пробел, таблица по строкам"));
    m_typed->setTabChangesFocus(true);
    m_need = new QLabel(this);
    m_need->setBuddy(m_typed);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusal"));
    m_refusal->setStyleSheet(QStringLiteral("color: #c00000"));
    m_refusal->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &OwnArrayDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OwnArrayDialog::reject);
    connect(m_table, &QRadioButton::toggled, this, &OwnArrayDialog::update);
    connect(m_patterns, &QButtonGroup::idToggled, this, &OwnArrayDialog::update);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(which);
    layout->addWidget(how);
    layout->addWidget(m_need);
    layout->addWidget(m_typed);
    layout->addWidget(m_refusal);
    layout->addWidget(buttons);
    update();
}

bool OwnArrayDialog::table() const
{
    return m_table->isChecked();
}

int OwnArrayDialog::count() const
{
    return table() ? m_m * m_n : m_m;
}

QString OwnArrayDialog::refusal() const
{
    return m_refusal->text();
}

void OwnArrayDialog::update()
{
    const bool typed = m_patterns->checkedId() == kTyped;
    m_typed->setEnabled(typed);
    m_need->setText(table() ? QStringLiteral("Нужно чисел: %1 (n = %2 строк по m = %3)").arg(count()).arg(m_n).arg(m_m)
                            : QStringLiteral("Нужно чисел: %1 (m = %2)").arg(count()).arg(m_m));
}

void OwnArrayDialog::accept()
{
    const int id = m_patterns->checkedId();
    if (id != kTyped) {
        m_values = ArrayInput::drawn(ArrayInput::Pattern(id), count(), m_random);
        QDialog::accept();
        return;
    }
    const ArrayInput::Parsed parsed = ArrayInput::parse(m_typed->toPlainText(), count());
    if (!parsed.refusal.isEmpty()) {
        m_refusal->setText(parsed.refusal);
        m_typed->setFocus();
        return;
    }
    m_values = parsed.values;
    QDialog::accept();
}
