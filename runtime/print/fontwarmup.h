#pragma once

#include <thread>

// Reads the system's font configuration on the other core while the toolkit
// connects to the display. Parsing that configuration is the largest single
// cost of the first text a window shows, and nothing needs it sooner. Where
// the toolkit draws text without fontconfig this does nothing.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // Returns once the configuration is read.
    void wait();

private:
    std::thread m_thread;
};
