#include "platform/ModuleLoader.h"

#include "platform/ProgramPath.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>
#include <map>
#include <memory>

namespace mnemora {

QStringList ModuleSearchPaths(const QString& baseName) {
    const QDir programDir = QFileInfo(ProgramFilePath()).absoluteDir();
    return {programDir.filePath(baseName),
            QDir::cleanPath(programDir.filePath(QStringLiteral("../lib/mnemora/modules/") + baseName))};
}

QObject* LoadModule(const QString& baseName, const char* iid, QString* error) {
    static std::map<QString, std::unique_ptr<QPluginLoader>> loaded;
    if (const auto found = loaded.find(baseName); found != loaded.end())
        return found->second->instance();
    QString reason = baseName + QStringLiteral(": not found");
    for (const QString& path : ModuleSearchPaths(baseName)) {
        auto loader = std::make_unique<QPluginLoader>(path);
        if (loader->fileName().isEmpty())
            continue; // no such file here
        // The id comes from the file's metadata; nothing of the module runs to read it.
        const QString declared = loader->metaData().value(QLatin1String("IID")).toString();
        if (declared.isEmpty()) {
            reason = loader->errorString();
            continue;
        }
        if (declared != QLatin1String(iid)) {
            reason = QStringLiteral("%1: a module of another version (%2; this program needs %3)")
                         .arg(loader->fileName(), declared, QLatin1String(iid));
            continue;
        }
        QObject* root = loader->instance();
        if (root == nullptr) {
            reason = loader->errorString();
            continue;
        }
        loaded.emplace(baseName, std::move(loader));
        return root;
    }
    if (error != nullptr)
        *error = reason;
    return nullptr;
}

} // namespace mnemora
