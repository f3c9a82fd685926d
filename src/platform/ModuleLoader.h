#pragma once

#include <QString>
#include <QStringList>

namespace mnemora {

// Optional parts of the program (speech, the progress window) are built as modules and
// loaded the first time they are needed, so that start-up neither waits for them nor
// maps their libraries. A module is looked for beside the program (a build folder, a
// portable copy), then in ../lib/mnemora/modules (an installed copy).
QStringList ModuleSearchPaths(const QString& fileName);

// Loads module fileName (once; it stays loaded) and returns the address of symbol, or
// nullptr with a reason in error ("libmnemora-speech.so: cannot open shared object ...").
void* ResolveModuleSymbol(const QString& fileName, const char* symbol, QString* error = nullptr);

} // namespace mnemora
