#pragma once

#include <QString>

// What a school set up for its class: the shared topics folder and the folder
// that collects the pupils' results. Read from tesmora/class.conf, the
// account's own over the administrator's; with no file nothing is configured.
class ClassSettings
{
public:
    static ClassSettings load();

    QString topicsFolder() const { return m_topics; }
    QString resultsFolder() const { return m_results; }

private:
    QString m_topics;
    QString m_results;
};
