#include "platform/TemplateCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mnemora {

bool EnsureUserLists(const QString& templateDir, const QString& userDir, QString* error) {
    const QDir templates(templateDir);
    if (!templates.exists())
        return true; // nothing to copy; a missing list is reported where it is opened
    if (!QDir().mkpath(userDir)) {
        if (error != nullptr)
            *error = QStringLiteral("cannot create %1").arg(userDir);
        return false;
    }
    const QStringList names = templates.entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names) {
        const QString target = QDir(userDir).filePath(name);
        if (QFileInfo::exists(target))
            continue;
        const QString temp = target + QStringLiteral(".part");
        QFile::remove(temp); // left over from an interrupted copy
        if (!QFile::copy(templates.filePath(name), temp)) {
            if (error != nullptr)
                *error = QStringLiteral("cannot write %1").arg(temp);
            QFile::remove(temp);
            return false;
        }
        // The template is read-only; the user's copy must take the counters.
        QFile::setPermissions(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        if (!QFile::rename(temp, target)) {
            QFile::remove(temp);
            if (error != nullptr)
                *error = QStringLiteral("cannot rename %1").arg(temp);
            return false;
        }
    }
    return true;
}

} // namespace mnemora
