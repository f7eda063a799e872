#include "resultmode.h"

QString ResultMode::key(Value mode)
{
    switch (mode) {
    case Training:
        break;
    case Test1:
        return QStringLiteral("test1");
    case Test2:
        return QStringLiteral("test2");
    case Lab:
        return QStringLiteral("lab");
    }
    return QStringLiteral("training");
}

std::optional<ResultMode::Value> ResultMode::fromKey(const QString &key)
{
    for (Value mode : All) {
        if (ResultMode::key(mode) == key)
            return mode;
    }
    return std::nullopt;
}

QString ResultMode::caption(Value mode)
{
    switch (mode) {
    case Training:
        break;
    case Test1:
        return QStringLiteral("Тест1 да/нет");
    case Test2:
        return QStringLiteral("Тест2 выбор");
    case Lab:
        return QStringLiteral("Лаборатория");
    }
    return QStringLiteral("Обучение");
}
