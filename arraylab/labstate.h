#pragma once

#include <QtGlobal>

#include <array>

// The two arrays of a lab and what is known about them. Subscripts start at 1,
// as the pupils count; element 0 is never used. Sizes may be 0 or negative
// (every loop then does nothing) and never exceed Bound.
struct LabState
{
    static constexpr int Bound = 40;

    qint16 m = 0;                // columns of the table and length of the linear array
    qint16 n = 0;                // rows of the table
    std::array<bool, 4> shown{}; // 1: linear array current, 2: table current, 3: clock box shown
    qint16 extreme = 0;
    qint16 count = 0;
    qint16 k = 0;
    qint16 temp = 0;
    std::array<qint16, Bound + 1> linear{};
    std::array<std::array<qint16, Bound + 1>, Bound + 1> table{};
    qint16 i = 0;
    qint16 j = 0;
    float startTime = 0;
};
