#pragma once

#include "resultfolder.h"

// What the teacher's window read of a results folder, kept on this computer
// under $XDG_CACHE_HOME/tesmora/ (a folder of this account alone, the file
// 0600: it holds every pupil's record) so that the next opening reads from
// the server only what is new. It keeps each record's bytes as they were
// read, so it is no larger than the records. A record never changes once
// named; a file of the same name with another size or time is read afresh.
// A cache that cannot be read is no cache.
class ResultCache
{
public:
    static QString pathFor(const QString &folder);
    // The records, without their bytes.
    static ResultFolder::Cache load(const QString &path);
    // Writes every record of cache: those with their bytes from them, the
    // others from the cache as it was on disk (a record held without its
    // bytes was taken from there). The names written with their bytes, or
    // nothing when the cache could not be written.
    static std::optional<QStringList> save(const QString &path, const ResultFolder::Cache &cache);
};
