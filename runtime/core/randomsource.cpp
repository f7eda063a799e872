#include "core/randomsource.h"

RandomSource::RandomSource()
    : m_engine(5489u)
{}

double RandomSource::draw()
{
    // 24 random bits, like a single-precision draw, and never 1.0.
    return double(m_engine() >> 8) / 16777216.0;
}

void RandomSource::reseed(double secondsSinceMidnight)
{
    if (m_fixedSeed)
        m_engine.seed(*m_fixedSeed);
    else
        m_engine.seed(static_cast<quint32>(secondsSinceMidnight * 1000.0) ^ 0x9E3779B9u);
}

void RandomSource::setFixedSeed(quint32 seed)
{
    m_fixedSeed = seed;
    m_engine.seed(seed);
}
