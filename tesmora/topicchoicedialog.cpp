#include "topicchoicedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TopicChoiceDialog::TopicChoiceDialog(const QList<TopicCatalog::Topic> &topics, QWidget *parent)
    : QDialog(parent)
    , m_topics(topics)
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Выбор темы"));
    auto *prompt = new QLabel(QStringLiteral("Тема:"), this);
    prompt->setBuddy(m_list);
    for (const TopicCatalog::Topic &topic : topics)
        m_list->addItem(topic.name);
    m_list->setAccessibleName(QStringLiteral("Темы"));
    m_list->setCurrentRow(0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    resize(360, 320);
}

std::optional<TopicCatalog::Topic> TopicChoiceDialog::chosen() const
{
    const int row = m_list->currentRow();
    if (result() != Accepted || row < 0 || row >= m_topics.size())
        return std::nullopt;
    return m_topics.at(row);
}
