#pragma once

#include "resultfolder.h"

// What the teacher's window read of a results folder, kept on this computer
// under $XDG_CACHE_HOME/tesmora/ so that the next opening reads from the
// server only what is new. A record never changes once named; a file of the
// same name with another size or time is read afresh. A cache that cannot be
// read is no cache.
class ResultCache
{
public:
    static QString pathFor(const QString &folder);
    static ResultFolder::Cache load(const QString &path);
    static bool save(const QString &path, const ResultFolder::Cache &cache);
};
