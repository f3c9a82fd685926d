#include "ListOutput.h"

#include "Credits.h"
#include "Diagnostics.h"
#include "store/ListFolderLock.h"
#include "store/WordCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>

namespace mnemora {
namespace {

struct StagedFile {
    QString finalPath;
    QString tempPath;
};

void RemoveStaged(const std::vector<StagedFile>& staged) {
    for (const StagedFile& file : staged)
        RemoveDatabaseFiles(file.tempPath);
}

} // namespace

bool WriteListFolder(const QString& outDir, std::vector<BuiltList>& lists, const QString& credits,
                     int lockWaitMs, CDiagnostics& diag) {
    if (!QDir().mkpath(outDir)) {
        diag.Error(outDir, 0, QStringLiteral("cannot create the output folder"));
        return false;
    }
    // A trainer studying from this folder writes counters into the old files at any time;
    // they would be lost with the files replaced under it.
    CListFolderLock lock;
    if (!lock.Acquire(outDir, lockWaitMs)) {
        const qint64 pid = lock.HolderPid();
        diag.Error(
            outDir, 0,
            QStringLiteral("Mnemora%1 is studying from this folder and writes to its lists; quit it and "
                           "build again (--wait SECONDS waits for it)")
                .arg(pid > 0 ? QStringLiteral(" (process %1)").arg(pid) : QString()));
        return false;
    }
    const QDir out(outDir);
    const QString suffix = QStringLiteral(".tmp-%1").arg(QCoreApplication::applicationPid());
    QStringList files;
    for (const BuiltList& list : lists) {
        if (!files.contains(QLatin1String(list.catalogue->file)))
            files << QLatin1String(list.catalogue->file);
    }

    // Read all old progress first: a file that cannot be read stops the build untouched.
    QHash<QString, SavedProgress> saved;
    for (const QString& file : files) {
        const QString path = out.filePath(file);
        if (!QFile::exists(path))
            continue;
        QStringList tables;
        for (const BuiltList& list : lists) {
            if (file == QLatin1String(list.catalogue->file))
                tables << list.rows.table;
        }
        QString error;
        if (!ReadSavedProgress(path, tables, saved[file], error)) {
            diag.Error(path, 0, error + QStringLiteral(" — to rebuild anyway, move the file away"));
            return false;
        }
    }

    std::vector<StagedFile> staged;
    for (const QString& file : files) {
        std::vector<TableRows> tables;
        for (BuiltList& list : lists) {
            if (file != QLatin1String(list.catalogue->file))
                continue;
            QStringList droppedWords;
            list.summary.carried =
                CarryOver(saved.value(file).value(list.rows.table), list.rows, droppedWords);
            const auto dropped = droppedWords.size();
            if (dropped > 0)
                diag.Warning(out.filePath(file), 0,
                             QStringLiteral("%1: progress of %2 word(s) no longer in the list is dropped")
                                 .arg(list.rows.table)
                                 .arg(dropped));
            tables.push_back(list.rows);
        }
        const StagedFile stage{out.filePath(file), out.filePath(file) + suffix};
        staged.push_back(stage);
        QString error;
        if (!WriteListFile(stage.tempPath, tables, error)) {
            diag.Error(stage.tempPath, 0, QStringLiteral("cannot write: %1").arg(error));
            RemoveStaged(staged);
            return false;
        }
    }
    const StagedFile creditsStage{out.filePath(QLatin1String(kCreditsFileName)),
                                  out.filePath(QLatin1String(kCreditsFileName)) + suffix};
    QFile creditsFile(creditsStage.tempPath);
    if (!creditsFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        creditsFile.write(credits.toUtf8()) < 0 || !creditsFile.flush()) {
        diag.Error(creditsStage.tempPath, 0,
                   QStringLiteral("cannot write: %1").arg(creditsFile.errorString()));
        creditsFile.close();
        QFile::remove(creditsStage.tempPath);
        RemoveStaged(staged);
        return false;
    }
    creditsFile.close();
    staged.push_back(creditsStage);

    for (const StagedFile& stage : staged) {
        if (!ReplaceDatabaseFile(stage.tempPath, stage.finalPath)) {
            diag.Error(stage.finalPath, 0, QStringLiteral("cannot replace the file"));
            RemoveStaged(staged);
            return false;
        }
    }
    return true;
}

} // namespace mnemora
