#pragma once

#include <QString>

namespace mnemora {

// Full path of the running program file ("/opt/mnemora/mnemora"); empty when the
// platform cannot tell. Tests and tools may pin it with SetProgramFilePath.
QString ProgramFilePath();

// Replaces the value ProgramFilePath returns for the rest of the process.
void SetProgramFilePath(const QString& path);

} // namespace mnemora
