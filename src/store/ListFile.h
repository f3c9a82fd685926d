#pragma once

#include "store/WordRecord.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace mnemora {

// One row of a word table as the builder writes it.
struct WordRow : WordTexts {
    qint64 showTimes = 0;
    qint64 toShowTime = 0;
};

struct TableRows {
    QString table;
    std::vector<WordRow> rows; // index 1..N in this order
};

struct StudyCounters {
    qint64 showTimes = 0;
    qint64 toShowTime = 0;
};
// Counters of an existing list file: table → word → counters.
using SavedProgress = QHash<QString, QHash<QString, StudyCounters>>;

// Reads the study counters of the given tables of an existing list file (tables it does
// not have are left out). A file an earlier build left in WAL mode is taken back to
// rollback-journal mode, which folds pending WAL content in and succeeds only when no
// other program has the file open. False with error set otherwise.
bool ReadSavedProgress(const QString& path, const QStringList& tables, SavedProgress& progress,
                       QString& error);

// Reads every word table of a list file, rows in index order. False with error set when
// the file cannot be opened with the list password or a table cannot be read.
bool ReadListTables(const QString& path, std::vector<TableRows>& tables, QString& error);

// Copies the counters of saved words onto the rows with the same word (exact spelling
// first, then ignoring case). Returns how many rows got progress; dropped receives the
// saved words with progress that the table no longer has.
int CarryOver(const QHash<QString, StudyCounters>& saved, TableRows& table, QStringList& dropped);

// Writes a new encrypted list file at path with one table per entry, in rollback-journal
// mode; a file already at path is replaced. On failure nothing is left at path.
bool WriteListFile(const QString& path, const std::vector<TableRows>& tables, QString& error);

// Removes a database file together with its journal, WAL and shared-memory files.
void RemoveDatabaseFiles(const QString& path);

// Renames a finished file at temp over target, first removing the journal, WAL and
// shared-memory files of the old target: they must not be applied to the new one.
bool ReplaceDatabaseFile(const QString& temp, const QString& target);

} // namespace mnemora
