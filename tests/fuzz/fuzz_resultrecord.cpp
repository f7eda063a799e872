// Fuzzes the teacher's reading of a record file: any bytes are either refused
// or give a record whose table row and CSV line can be made; a record read
// back is written again as the same record.
#include "resultrecord.h"
#include "resulttable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<ResultRecord> record = ResultRecord::fromJson(bytes);
    if (!record)
        return 0;
    if (ResultTable::row({QString(), *record, {}, {}}).size() != ResultTable::Header.size())
        std::abort();
    const std::optional<ResultRecord> again = ResultRecord::fromJson(record->toJson());
    if (!again || again->user != record->user || again->steps.size() != record->steps.size()
        || again->mode != record->mode || again->topic != record->topic)
        std::abort();
    return 0;
}
