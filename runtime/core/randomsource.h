#pragma once

#include <QtGlobal>

#include <optional>
#include <random>

// Uniform draws in [0, 1), re-seeded from the clock. A fixed seed makes every
// re-seeding start the same sequence, so runs can be repeated exactly.
class RandomSource
{
public:
    RandomSource();

    double draw();
    void reseed(double secondsSinceMidnight);

    void setFixedSeed(quint32 seed);

private:
    std::mt19937 m_engine;
    std::optional<quint32> m_fixedSeed;
};
