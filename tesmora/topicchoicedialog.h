#pragma once

#include "topiccatalog.h"

#include <QDialog>

class QListWidget;

// "Выбор темы": the topics found, by name; Enter, a double-click or "ОК"
// takes the current one, "Отмена" or Escape takes none.
class TopicChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TopicChoiceDialog(const QList<TopicCatalog::Topic> &topics, QWidget *parent = nullptr);

    std::optional<TopicCatalog::Topic> chosen() const;
    QListWidget *list() const { return m_list; }

private:
    QList<TopicCatalog::Topic> m_topics;
    QListWidget *m_list;
};
