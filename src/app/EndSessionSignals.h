#pragma once

#include <functional>

// Turns SIGTERM, SIGHUP and SIGINT into a call of `onEndSession` from the event loop, so the
// program can put the user's script back before it ends. Install once, after the application
// object exists.
void InstallEndSessionSignals(std::function<void()> onEndSession);
