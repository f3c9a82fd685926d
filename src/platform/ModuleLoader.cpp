#include "platform/ModuleLoader.h"

#include "platform/ProgramPath.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <map>
#include <memory>

namespace mnemora {

QStringList ModuleSearchPaths(const QString& fileName) {
    const QDir programDir = QFileInfo(ProgramFilePath()).absoluteDir();
    return {programDir.filePath(fileName),
            QDir::cleanPath(programDir.filePath(QStringLiteral("../lib/mnemora/modules/") + fileName))};
}

void* ResolveModuleSymbol(const QString& fileName, const char* symbol, QString* error) {
    // Modules are never unloaded: objects they made may live until the program ends.
    static std::map<QString, std::unique_ptr<QLibrary>> loaded;
    auto found = loaded.find(fileName);
    if (found == loaded.end()) {
        QString reasons;
        for (const QString& path : ModuleSearchPaths(fileName)) {
            if (!QFileInfo::exists(path))
                continue;
            auto library = std::make_unique<QLibrary>(path);
            if (library->load()) {
                found = loaded.emplace(fileName, std::move(library)).first;
                break;
            }
            reasons = library->errorString();
        }
        if (found == loaded.end()) {
            if (error != nullptr)
                *error = reasons.isEmpty() ? fileName + QStringLiteral(": not found") : reasons;
            return nullptr;
        }
    }
    void* address = reinterpret_cast<void*>(found->second->resolve(symbol));
    if (address == nullptr && error != nullptr)
        *error = found->second->errorString();
    return address;
}

} // namespace mnemora
