#pragma once

#include <unistd.h>

// Ends the test process if the scope is not left within the given seconds, so that an open or a
// read that blocks fails the run instead of hanging it.
class Watchdog
{
public:
    explicit Watchdog(unsigned seconds) { alarm(seconds); }
    ~Watchdog() { alarm(0); }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;
};
