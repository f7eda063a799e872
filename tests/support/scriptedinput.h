#pragma once

#include "forms/inputprovider.h"

#include <QList>
#include <QStringList>

// Replies taken from a queue instead of a dialog; records every prompt asked.
// When the queue runs dry the dialog counts as cancelled; a test that goes on
// asking long after that is stopped.
class ScriptedInput : public InputProvider
{
public:
    static constexpr int MaxOverruns = 1000;

    std::optional<QString> ask(QWidget *parent, const QString &prompt) override;

    void reply(const QString &text) { m_replies.append(text); }
    void replies(const QStringList &texts);
    void cancel() { m_replies.append(std::nullopt); }

    QStringList prompts() const { return m_prompts; }
    int pending() const { return int(m_replies.size()); }
    void clear();

private:
    QList<std::optional<QString>> m_replies;
    QStringList m_prompts;
    int m_overruns = 0;
};
