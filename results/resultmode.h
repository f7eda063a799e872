#pragma once

#include <QString>

#include <array>
#include <optional>

// The trainer's three modes as a record, the teacher's window and the CSV
// file name them: one place for every spelling.
class ResultMode
{
public:
    enum Value { Training, Test1, Test2 };
    static constexpr std::array<Value, 3> All = {Training, Test1, Test2};

    // As stored in a record: "training", "test1", "test2".
    static QString key(Value mode);
    static std::optional<Value> fromKey(const QString &key);
    // As the trainer's buttons name them.
    static QString caption(Value mode);
};
