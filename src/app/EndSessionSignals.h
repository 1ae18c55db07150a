#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// While it lives, SIGTERM, SIGHUP and SIGINT become calls of `onEndSession` from the event loop,
// so the program can put the user's script back before it ends; afterwards they end the process
// as they normally do. One at a time, made after the application object.
class CEndSessionSignals {
public:
    explicit CEndSessionSignals(std::function<void()> onEndSession);
    ~CEndSessionSignals();
    CEndSessionSignals(const CEndSessionSignals&) = delete;
    CEndSessionSignals& operator=(const CEndSessionSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
};
