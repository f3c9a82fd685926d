#pragma once

#include "platform/MessageBoxPort.h"
#include "store/DbAccess.h"
#include "store/ListFolderLock.h"
#include "store/WordBatch.h"

#include <QStringList>
#include <array>

namespace mnemora {

// The word store: the catalogue, the word-list folder, the one database gateway, the
// open list's key and walk counters, and the batch of loaded words. The scheduler walks
// the open selection row by row through `db`; the table is never read whole.
class CWordStore final {
public:
    // dbFolder is derived from programFilePath (the running program by default).
    // How long opening a list waits for a rebuild of the folder to finish.
    static constexpr int kFolderLockWaitMs = 30000;

    explicit CWordStore(IMessageBox& messages, const QString& programFilePath = QString());
    ~CWordStore();
    CWordStore(const CWordStore&) = delete;
    CWordStore& operator=(const CWordStore&) = delete;

    // Opens the database file of a list; 1 on success, 0 (after telling the user) otherwise.
    int OpenWordList(int listIndex, int category);
    // Selects the table of the list last given to OpenWordList and resets the walk counters.
    void OpenWordTable();
    // Reads the current row into record: counters, index and the seven texts.
    void ReadRow(WordRecord& record);
    // Reads index and the seven texts of the current row (texts start empty).
    void ReadRowDetails(WordRecord& record);
    // Writes showTimes and toShowTime of every batch entry back, one statement each.
    void SaveBatch();
    // Writes the two counters of one record back at once, in the same statement form;
    // false with the error kept in db.
    bool SaveRecord(const WordRecord& record);
    // Zeroes both counters of the whole current table; false with the error kept in db.
    bool ResetTable();

    // Full path of the file of a list.
    QString ListFilePath(int category, int listIndex) const;
    // The catalogue table name of the current list (examTables or studyTables).
    QString CurrentCatalogueTable() const;

    WordBatch batch;
    CDbAccess db;
    int isOpen = 0;
    std::array<char, 32> tableName{}; // 8-bit name of the table selected last
    int category = 0;
    int listIndex = 0;
    int recordCount = 0;
    int tableCursor = 0;
    int learntCount = 0;
    // Counts OpenWordTable calls: a new value means a new walk (a wrap or another list),
    // so the walk counters no longer cover what was counted under the old one.
    uint32_t selection = 0;

    QStringList examFiles;
    QStringList examTables;
    QStringList studyFiles;
    QStringList studyTables;
    QString dbFolder;

private:
    IMessageBox& messages_;
    // Held from the first list opened to the end of the run: the builder does not replace
    // lists this store still writes to.
    CListFolderLock folderLock_;
};

} // namespace mnemora
