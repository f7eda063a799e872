#include "scriptedinput.h"

std::optional<QString> ScriptedInput::ask(QWidget *, const QString &prompt)
{
    m_prompts.append(prompt);
    if (m_replies.isEmpty()) {
        // A prompt that repeats until answered would otherwise hang the test.
        if (++m_overruns > MaxOverruns)
            qFatal("ScriptedInput: \"%s\" asked %d times with no reply left", qPrintable(prompt), m_overruns);
        return std::nullopt;
    }
    return m_replies.takeFirst();
}

void ScriptedInput::replies(const QStringList &texts)
{
    for (const QString &text : texts)
        reply(text);
}

void ScriptedInput::clear()
{
    m_replies.clear();
    m_prompts.clear();
    m_overruns = 0;
}
