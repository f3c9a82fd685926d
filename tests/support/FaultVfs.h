#pragma once

// A file layer for SQLite that fails on purpose: installed as the default, it passes every
// call to the real one and counts writes, syncs and journal opens; once armed, the Nth of
// them (and, when persistent, every later one, like a full disk) fails.
#include <functional>

namespace faultvfs {

enum class Mode { Once, Persistent };

// Registers the layer as the default for every connection opened from then on.
void Install();
// Fails the nth counted call from now (1 = the next one); onCall, if given, runs at every
// counted call until Disarm (to look at the world while a write is under way).
void Arm(int n, Mode mode, std::function<void()> onCall = {});
void Disarm();
// Whether the armed failure has happened since Arm.
bool Fired();

} // namespace faultvfs
