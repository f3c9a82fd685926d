#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace mnemora {

// Optional parts of the program (speech, the progress window) are Qt plugins, loaded the
// first time they are needed so that start-up neither waits for them nor maps their
// libraries. A module's root object implements one interface whose id ends in its version
// ("io.github.mnemora.SpeechModule/1"); a file that declares another id is refused before
// any of its code runs.

// Where module baseName ("mnemora-speech") is looked for: beside the program (a build
// folder, a portable copy), then in ../lib/mnemora/modules (an installed copy). The paths
// leave out the platform's file prefix and suffix (libmnemora-speech.so).
QStringList ModuleSearchPaths(const QString& baseName);

// The root object of module baseName when it implements interface iid (loaded once, never
// unloaded: objects it made may live until the program ends); else nullptr, with one line
// in error that says why (not found, not loadable, a module of another version).
QObject* LoadModule(const QString& baseName, const char* iid, QString* error = nullptr);

// LoadModule for the interface declared with Q_DECLARE_INTERFACE.
template <typename Interface> Interface* LoadModuleAs(const QString& baseName, QString* error = nullptr) {
    return qobject_cast<Interface*>(LoadModule(baseName, qobject_interface_iid<Interface*>(), error));
}

} // namespace mnemora
