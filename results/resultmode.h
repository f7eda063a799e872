#pragma once

#include <QString>

#include <array>
#include <optional>

// The trainer's three modes, and the labs' guessing, as a record, the
// teacher's window and the CSV file name them: one place for every spelling.
class ResultMode
{
public:
    enum Value { Training, Test1, Test2, Lab };
    static constexpr std::array<Value, 4> All = {Training, Test1, Test2, Lab};

    // As stored in a record: "training", "test1", "test2", "lab".
    static QString key(Value mode);
    static std::optional<Value> fromKey(const QString &key);
    // As the trainer's buttons name them; the labs' guessing is "Лаборатория".
    static QString caption(Value mode);
};
