#include "store/TemplateCopy.h"

#include "platform/DataLocation.h"
#include "store/ListFile.h"
#include "store/WordStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>

namespace mnemora {
namespace {

const QString kStampFile = QStringLiteral(".templates");
constexpr int kNamedDrops = 8;

// What a template looked like when the user's copy was made: its size and time. A package
// installs each file with the time it was built, so a reinstall of the same package keeps it.
QString StampOf(const QFileInfo& info) {
    return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

QHash<QString, QString> ReadStamps(const QString& path) {
    QHash<QString, QString> stamps;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return stamps;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int tab = line.indexOf('\t');
        if (tab > 0)
            stamps.insert(QString::fromUtf8(line.left(tab)), QString::fromUtf8(line.mid(tab + 1)));
    }
    return stamps;
}

bool WriteStamps(const QString& path, const QHash<QString, QString>& stamps) {
    QStringList names = stamps.keys();
    names.sort();
    QByteArray text;
    for (const QString& name : names)
        text += name.toUtf8() + '\t' + stamps.value(name).toUtf8() + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

bool Fail(QString* error, const QString& text) {
    if (error != nullptr)
        *error = text;
    return false;
}

bool Replace(const QString& temp, const QString& target, QString* error) {
    if (!ReplaceDatabaseFile(temp, target)) {
        RemoveDatabaseFiles(temp);
        return Fail(error, QStringLiteral("cannot rename %1").arg(temp));
    }
    return true;
}

bool CopyFresh(const QString& source, const QString& target, QString* error) {
    const QString temp = target + QStringLiteral(".part");
    QFile::remove(temp); // left over from an interrupted copy
    if (!QFile::copy(source, temp)) {
        QFile::remove(temp);
        return Fail(error, QStringLiteral("cannot write %1").arg(temp));
    }
    // The template is read-only; the user's copy must take the counters.
    QFile::setPermissions(temp, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return Replace(temp, target, error);
}

// Rebuilds the user's copy of a list from its new template, carrying the counters over.
bool RefreshList(const QString& source, const QString& target, QString* error, QStringList* reports) {
    std::vector<TableRows> tables;
    QString why;
    if (!ReadListTables(source, tables, why))
        return Fail(error, why);
    QStringList names;
    for (const TableRows& table : tables)
        names << table.table;
    SavedProgress saved;
    if (!ReadSavedProgress(target, names, saved, why))
        return Fail(error, why);
    const QString file = QFileInfo(target).fileName();
    for (TableRows& table : tables) {
        QStringList dropped;
        CarryOver(saved.value(table.table), table, dropped);
        if (dropped.isEmpty() || reports == nullptr)
            continue;
        dropped.sort();
        QString named = QStringList(dropped.mid(0, kNamedDrops)).join(QStringLiteral(", "));
        if (dropped.size() > kNamedDrops)
            named += QStringLiteral(" …");
        *reports << QStringLiteral("词库 %1（%2）已更新：%3 个学过的单词不在新词库中：%4")
                        .arg(file, table.table)
                        .arg(dropped.size())
                        .arg(named);
    }
    const QString temp = target + QStringLiteral(".part");
    if (!WriteListFile(temp, tables, why))
        return Fail(error, why);
    return Replace(temp, target, error);
}

// The folder to study the templates in when the user's copies cannot be made. A user who may
// write the templates (root, or an unpacked copy's owner) studies a throwaway copy of them
// instead, so that the lists given stay as they are; anyone else reads them where they lie,
// and the word store opens them read-only.
QString ReadOnlyListFolder(const QString& templateFolder) {
    if (!QFileInfo(templateFolder).isWritable())
        return templateFolder;
    static QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/mnemora-lists-XXXXXX"));
    if (!scratch.isValid())
        return templateFolder;
    const QDir templates(templateFolder);
    for (const QString& name : templates.entryList({QStringLiteral("*.dat")}, QDir::Files | QDir::Readable)) {
        const QString copy = scratch.filePath(name);
        QFile::remove(copy);
        if (!QFile::copy(templates.filePath(name), copy))
            return templateFolder;
    }
    return scratch.path() + u'/';
}

} // namespace

bool EnsureUserLists(const QString& templateDir, const QString& userDir, QString* error,
                     QStringList* reports) {
    const QDir templates(templateDir);
    if (!templates.exists())
        return true; // nothing to copy; a missing list is reported where it is opened
    if (!QDir().mkpath(userDir))
        return Fail(error, QStringLiteral("cannot create %1").arg(userDir));
    const QString stampPath = QDir(userDir).filePath(kStampFile);
    const QHash<QString, QString> stamps = ReadStamps(stampPath);
    QHash<QString, QString> updated = stamps;
    const QFileInfoList files = templates.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : files) {
        const QString name = info.fileName();
        const QString target = QDir(userDir).filePath(name);
        const QString stamp = StampOf(info);
        const bool present = QFileInfo::exists(target);
        if (present && stamps.value(name) == stamp)
            continue;
        if (!present || !name.endsWith(QLatin1String(".dat"))) {
            if (!CopyFresh(info.filePath(), target, error))
                return false;
        } else {
            QString why;
            if (!RefreshList(info.filePath(), target, &why, reports)) {
                // The old copy is still whole; the next start tries again.
                if (reports != nullptr)
                    *reports << QStringLiteral("词库 %1 无法更新（%2），继续使用原来的词库").arg(name, why);
                continue;
            }
        }
        updated.insert(name, stamp);
    }
    if (updated != stamps && !WriteStamps(stampPath, updated))
        return Fail(error, QStringLiteral("cannot write %1").arg(stampPath));
    return true;
}

QString PrepareUserData(CWordStore& store) {
    const DataLocation& location = CurrentDataLocation();
    if (location.portable)
        return QString();
    QDir().mkpath(QFileInfo(location.settingsPath).absolutePath());
    QDir().mkpath(location.dbFolder);
    // The copies are written under the folder's writer lock, which the store then keeps
    // while it studies: a rebuild of the folder never replaces a file half refreshed.
    if (!store.LockListFolder()) {
        // The copies there are whole; the next start brings them up to date.
        std::fprintf(stderr, "mnemora: 词库文件夹 %s 正由进程 %lld 改写，本次不更新词库\n",
                     qPrintable(QDir::toNativeSeparators(location.dbFolder)), store.ListFolderHolder());
        return QString();
    }
    QString error;
    QStringList reports;
    const bool ready = EnsureUserLists(location.templateFolder, location.dbFolder, &error, &reports);
    for (const QString& line : std::as_const(reports))
        std::fprintf(stderr, "mnemora: %s\n", qUtf8Printable(line));
    if (ready)
        return QString();
    const QString unwritable = location.dbFolder; // location changes below
    DataLocation readOnly = location;
    readOnly.dbFolder = ReadOnlyListFolder(location.templateFolder);
    OverrideDataLocation(readOnly);
    store.SetDbFolder(readOnly.dbFolder); // the store found its folder when it was built
    return QStringLiteral("无法保存学习进度：文件夹“%1”不能写入。本次显示安装的词库中的单词，"
                          "学习进度不会被保存。")
        .arg(QDir::toNativeSeparators(unwritable));
}

} // namespace mnemora
