#pragma once

#include <QString>

namespace mnemora {

// What the hand-off to the external updater did.
struct UpdaterHandOffResult {
    bool replaced = false; // "update.new" took the name "update"
    bool started = false;  // "update" was started
    // Set when "update.new" could not take its place: names the file and the system's
    // reason. The updater is then not started; the caller reports this and goes on exiting.
    QString error;
};

// The updater's file names in the program's folder: "update" and "update.new", with the
// platform's program suffix ("update.exe", "update.exe.new") where it has one.
inline constexpr const char* kUpdaterName = "update" MNEMORA_EXE_SUFFIX;
inline constexpr const char* kNewUpdaterName = "update" MNEMORA_EXE_SUFFIX ".new";

// Puts a pending "update.new" in the place of "update" in programFolder, then starts
// "update" detached when it is a regular executable file; anything else there is skipped
// without a word. An empty folder does nothing.
UpdaterHandOffResult HandOffToUpdater(const QString& programFolder);

} // namespace mnemora
