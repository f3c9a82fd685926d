#pragma once

#include "platform/MessageBoxPort.h"
#include "store/DbAccess.h"
#include "store/ListFolderLock.h"
#include "store/SaveWarning.h"
#include "store/WordBatch.h"

#include <QMap>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

// Rewrites the table through the store's own connection between its trials: a second
// connection would have to derive the key again each time.
class TestScheduleEquivalence;

namespace mnemora {

// The word store: the catalogue, the word-list folder, the one database gateway, the
// open list's key and walk counters, and the batch of loaded words. The scheduler walks
// the open selection row by row through the walk operations below; the table is never
// read whole. Only the batch is open to change from outside: the float window moves
// through it and changes its records' counters in place.
class CWordStore final {
public:
    // dbFolder is derived from programFilePath (the running program by default).
    // How long opening a list waits for a rebuild of the folder to finish.
    static constexpr int kFolderLockWaitMs = 30000;

    explicit CWordStore(IMessageBox& messages, const QString& programFilePath = QString());
    ~CWordStore();
    CWordStore(const CWordStore&) = delete;
    CWordStore& operator=(const CWordStore&) = delete;

    // Takes the writer lock of the list folder for as long as the store lives, waiting for a
    // rebuild to finish; false when one still holds it (its process: ListFolderHolder).
    bool LockListFolder();
    qint64 ListFolderHolder() const { return folderLock_.HolderPid(); }
    // Opens the database file of a list; 1 on success, 0 (after telling the user) otherwise.
    int OpenWordList(int listIndex, int category);
    // Selects the table of the list last given to OpenWordList and resets the walk counters.
    void OpenWordTable();
    // Closes the selection and the list file.
    void Close();
    // Reads the current row into record: counters, index and the seven texts. False when
    // a counter or the index could not be read (it is then 0); texts that cannot be read
    // stay empty.
    bool ReadRow(WordRecord& record);
    // Reads index and the seven texts of the current row (texts start empty); false when
    // the index could not be read.
    bool ReadRowDetails(WordRecord& record);

    // --- the walk over the selected table ---
    bool WalkAtEnd() const { return tableCursor_ >= recordCount_; }
    // The two counters of the current row; false when one could not be read (it is 0).
    bool ReadCounters(uint32_t& showTimes, uint32_t& toShowTime);
    // Passes the current row without loading it; a learnt row is counted as such.
    void PassRow(bool learnt);
    // Reads the current row's index and texts into record (counters as given), appends
    // it to the batch and passes the row. False when the index could not be read.
    bool AppendRow(WordRecord&& record);
    // Selects the table afresh and starts the walk at its first row.
    void RewindWalk();
    // A word of the passed rows was marked learnt outside the walk, or the mark undone.
    void CountLearnt(bool learnt);

    // Writes showTimes and toShowTime of every batch entry back, one statement each,
    // together with the counters still pending from failed saves: one transaction per
    // file, all or nothing. Counters that fail stay pending; the walk reads them instead
    // of the file's, and every later save writes them again. False while any are pending.
    bool SaveBatch();
    // Writes the two counters of one record back at once, in the same statement form,
    // with what is pending of the open file; false with the error kept in LastError (the
    // record is then not kept).
    bool SaveRecord(const WordRecord& record);
    // Counters that have not reached their file.
    bool Unsaved() const { return !pending_.empty(); }
    // The learner's notice of the first failed save since the last one that wrote
    // everything, once; empty otherwise.
    QString TakeSaveWarning();
    // The files with unsaved counters and why, one line for a log.
    QString UnsavedSummary() const;
    // Zeroes both counters of the whole current table and starts the walk afresh, so the
    // rows read from then on carry the zeroes; false with the error kept in LastError.
    bool ResetTable();
    QString LastError() const { return db_.GetLastError(); }
    // Called with every statement sent to the list file, as sent; for diagnostics.
    void SetExecuteObserver(std::function<void(const QString&)> observer) {
        db_.SetExecuteObserver(std::move(observer));
    }

    // Full path of the file of a list.
    QString ListFilePath(int category, int listIndex) const;
    // The catalogue table name of the current list (examTables or studyTables).
    QString CurrentCatalogueTable() const;

    int isOpen() const { return isOpen_; }
    const char* tableName() const { return tableName_.data(); } // 8-bit name of the table selected last
    int category() const { return category_; }
    int listIndex() const { return listIndex_; }
    int recordCount() const { return recordCount_; }
    int tableCursor() const { return tableCursor_; }
    int learntCount() const { return learntCount_; }
    // Counts OpenWordTable calls: a new value means a new walk (a wrap or another list),
    // so the walk counters no longer cover what was counted under the old one.
    uint32_t selection() const { return selection_; }
    const QString& dbFolder() const { return dbFolder_; }
    // Points the store at another list folder (a read-only fallback chosen after start).
    void SetDbFolder(const QString& folder) { dbFolder_ = folder; }

    WordBatch batch;

private:
    friend class ::TestScheduleEquivalence;

    struct Counters {
        uint32_t showTimes = 0;
        uint32_t toShowTime = 0;
    };
    // Counters of one table of one file that a save could not write.
    struct Pending {
        QString path;
        QByteArray table;
        QMap<int32_t, Counters> rows;
    };
    Pending& PendingOf(const QString& path, const QByteArray& table);
    const Counters* PendingCounters(int32_t index) const;
    // Writes the batch (when batch) or extra, and everything pending of the open file,
    // through the open connection in one transaction.
    bool WriteOpenFile(bool batch, const WordRecord* extra);
    // Writes what is pending of the files that are not open, one transaction each.
    bool WriteOtherFiles();
    void NoteFailure(const QString& path, sql::Failure failure, const QString& engineText);
    void NoteSaved();

    CDbAccess db_;
    int isOpen_ = 0;
    std::array<char, 32> tableName_{};
    int category_ = 0;
    int listIndex_ = 0;
    int recordCount_ = 0;
    int tableCursor_ = 0;
    int learntCount_ = 0;
    uint32_t selection_ = 0;
    // Positions of the walk's columns in the open selection (-1: missing).
    int showTimesColumn_ = -1;
    int toShowTimeColumn_ = -1;
    std::array<int, WordTexts::kColumns.size()> textColumns_{};

    QStringList examFiles_;
    QStringList examTables_;
    QStringList studyFiles_;
    QStringList studyTables_;
    QString dbFolder_;
    QString openPath_; // the file given to the connection last
    std::vector<Pending> pending_;
    CSaveWarning saveWarning_{QStringLiteral("单词表文件"), QStringLiteral("单词的复习计数")};
    QString lastFailure_;
    IMessageBox& messages_;
    // Held from the first list opened to the end of the run: the builder does not replace
    // lists this store still writes to.
    CListFolderLock folderLock_;
};

} // namespace mnemora
