// The font configuration read on a thread of its own while the application object starts.
#pragma once

#include <thread>

// Reading the font configuration is most of the cost of the first text a window lays out, and
// about as long as starting the application object. Made before the application object and waited
// for before the first window, it runs alongside instead of after it. Where the font library is
// not there, nothing happens and the toolkit reads the configuration itself as before.
class FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    // Waits until the configuration is read.
    void Wait();

private:
    std::thread m_thread;
};
