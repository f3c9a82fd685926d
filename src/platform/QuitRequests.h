#pragma once

#include <functional>

class QObject;

namespace mnemora {

// The system's requests to end the program in order (on Linux SIGTERM, SIGINT and SIGHUP)
// call onRequest from the event loop, never from inside a signal handler. The watch lives
// as long as context. Call once.
void WatchQuitRequests(QObject* context, std::function<void()> onRequest);

} // namespace mnemora
