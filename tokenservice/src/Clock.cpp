#include "Clock.h"

#include <chrono>
#include <mutex>

namespace {

std::mutex g_mutex;
Clock::Source g_source;

} // namespace

std::int64_t Clock::Now()
{
    {
        std::lock_guard lock(g_mutex);
        if (g_source)
            return g_source();
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

void Clock::SetSourceForTesting(Source source)
{
    std::lock_guard lock(g_mutex);
    g_source = std::move(source);
}
