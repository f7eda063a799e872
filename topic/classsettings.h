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

    // A folder as written in the file, with ~ and $HOME, $USER (also as
    // ${HOME}, ${USER}) put in for this account: one file for every PC then
    // names a share each account mounts in its own home. A name not known
    // stays as written, so that the folder not found says it.
    static QString expand(const QString &written);

private:
    QString m_topics;
    QString m_results;
};
