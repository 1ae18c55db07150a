#include "EndSessionSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

CEndSessionSignals::CEndSessionSignals(std::function<void()> onEndSession)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                     [onEndSession = std::move(onEndSession)] {
                         char buffer[16];
                         while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
                         }
                         onEndSession();
                     });
    SetHandler(&OnSignal);
}

CEndSessionSignals::~CEndSessionSignals()
{
    if (!m_notifier)
        return;
    SetHandler(SIG_DFL);
    m_notifier.reset();
    for (int& fd : g_signalPipe) {
        ::close(fd);
        fd = -1;
    }
}
