#pragma once

#include <cstdint>
#include <functional>

// Where the library takes the time from. Tests replace the source; nothing else does.
class Clock {
public:
    using Source = std::function<std::int64_t()>;

    // Seconds since 1970-01-01 UTC.
    static std::int64_t Now();
    // An empty source restores the system clock.
    static void SetSourceForTesting(Source source);
};
