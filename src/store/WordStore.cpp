#include "store/WordStore.h"

#include "platform/DataLocation.h"
#include "store/WordCatalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace mnemora {

CWordStore::CWordStore(IMessageBox& messages, const QString& programFilePath) : messages_(messages) {
    if (!db_.CreateObjects())
        messages_.ShowMessage(QStringLiteral("DB:CreateInstance失败"), MessageIcon::Plain);
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.category == kExamCategory) {
            examFiles_ << QString::fromLatin1(entry.file);
            examTables_ << QString::fromLatin1(entry.table);
        } else {
            studyFiles_ << QString::fromLatin1(entry.file);
            studyTables_ << QString::fromLatin1(entry.table);
        }
    }
    dbFolder_ = programFilePath.isEmpty() ? CurrentDataLocation().dbFolder : DbFolderFor(programFilePath);
}

CWordStore::~CWordStore() {
    db_.Close();
}

void CWordStore::Close() {
    db_.Close();
}

QString CWordStore::ListFilePath(int cat, int index) const {
    const QStringList& files = cat == kStudyCategory ? studyFiles_ : examFiles_;
    if (index < 0 || index >= files.size())
        return QString();
    return dbFolder_ + files[index];
}

QString CWordStore::CurrentCatalogueTable() const {
    const QStringList& tables = category_ == kStudyCategory ? studyTables_ : examTables_;
    return listIndex_ >= 0 && listIndex_ < tables.size() ? tables[listIndex_] : QString();
}

bool CWordStore::LockListFolder() {
    // A rebuild holds the folder only while it replaces the files.
    return folderLock_.Acquire(dbFolder_, kFolderLockWaitMs);
}

int CWordStore::OpenWordList(int index, int cat) {
    category_ = cat;
    listIndex_ = index;
    if (!LockListFolder())
        std::fprintf(stderr, "mnemora: 词库文件夹 %s 正由进程 %lld 改写，等了 %d 秒仍未完成，照常打开\n",
                     qPrintable(QDir::toNativeSeparators(dbFolder_)), folderLock_.HolderPid(),
                     kFolderLockWaitMs / 1000);
    // A key outside the catalogue gives an empty path, which fails like a missing file.
    openPath_ = ListFilePath(cat, index);
    db_.SetConnectString(QString::fromLatin1(kProviderName), openPath_,
                         QString::fromLatin1(kDatabasePassword));
    const bool opened = db_.Open();
    if (opened) {
        isOpen_ = 1;
        return 1;
    }
    messages_.ShowMessage(QStringLiteral("打开数据库失败！") + db_.GetLastError(), MessageIcon::Error);
    return 0;
}

void CWordStore::OpenWordTable() {
    const int row = category_ == kStudyCategory ? listIndex_ + 8 : listIndex_;
    tableName_.fill('\0');
    if (row >= 0 && row < static_cast<int>(tableNameTable.size()))
        std::strncpy(tableName_.data(), tableNameTable[row].data(), tableName_.size() - 1);
    const QByteArray statement = QByteArray("SELECT * FROM ") + tableName_.data();
    db_.OpenRecordset(statement);
    // Looked up once here, not by name on every row of the walk.
    showTimesColumn_ = db_.ColumnIndex("showTimes");
    toShowTimeColumn_ = db_.ColumnIndex("toShowTime");
    for (size_t i = 0; i < textColumns_.size(); ++i)
        textColumns_[i] = db_.ColumnIndex(WordTexts::kColumns[i]);
    recordCount_ = db_.GetRecordCount();
    tableCursor_ = 0;
    learntCount_ = 0;
    ++selection_;
}

bool CWordStore::ReadRowDetails(WordRecord& record) {
    const bool indexRead = db_.GetIndex(record.index);
    // A NULL or non-text value leaves its text empty: not a failure.
    const auto texts = record.Texts();
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!db_.GetString(textColumns_[i], *texts[i]))
            texts[i]->clear();
    }
    return indexRead;
}

bool CWordStore::ReadCounters(uint32_t& showTimes, uint32_t& toShowTime) {
    int32_t shown = 0;
    int32_t due = 0;
    const bool ok = db_.GetInt(showTimesColumn_, shown);
    const bool dueOk = db_.GetInt(toShowTimeColumn_, due);
    showTimes = static_cast<uint32_t>(shown);
    toShowTime = static_cast<uint32_t>(due);
    // Counters a failed save left in memory are newer than the file's.
    int32_t index = 0;
    if (!pending_.empty() && db_.GetIndex(index)) {
        if (const Counters* counters = PendingCounters(index)) {
            showTimes = counters->showTimes;
            toShowTime = counters->toShowTime;
        }
    }
    return ok && dueOk;
}

bool CWordStore::ReadRow(WordRecord& record) {
    const bool counters = ReadCounters(record.showTimes, record.toShowTime);
    const bool details = ReadRowDetails(record);
    return counters && details;
}

void CWordStore::PassRow(bool learnt) {
    if (learnt)
        ++learntCount_;
    ++tableCursor_;
    db_.MoveNext();
}

bool CWordStore::AppendRow(WordRecord&& record) {
    const bool indexRead = ReadRowDetails(record);
    batch.Append(std::move(record));
    PassRow(false);
    return indexRead;
}

void CWordStore::RewindWalk() {
    db_.CloseRecordset();
    OpenWordTable();
    db_.MoveFirst();
}

void CWordStore::CountLearnt(bool learnt) {
    if (learnt)
        ++learntCount_;
    else if (learntCount_ > 0)
        --learntCount_;
}

namespace {

// Counters go out as signed decimals in quotes, the index as a bare number.
bool SendCounters(CDbAccess& db, const char* table, const WordRecord& r) {
    return db.ExecuteWith(QStringLiteral("UPDATE ") + QString::fromLocal8Bit(table) +
                              QStringLiteral(" SET showTimes = ?, toShowTime = ? WHERE index = ?"),
                          {QByteArray::number(static_cast<int32_t>(r.showTimes)),
                           QByteArray::number(static_cast<int32_t>(r.toShowTime)), int64_t{r.index}});
}

} // namespace

bool CWordStore::SaveBatch() {
    const bool others = WriteOtherFiles();
    if (!WriteOpenFile(true, nullptr)) {
        Pending& pending = PendingOf(openPath_, QByteArray(tableName_.data()));
        for (auto p = batch.begin(); p != batch.end(); p = WordBatch::Next(p)) {
            const WordRecord& r = WordBatch::At(p);
            pending.rows.insert(r.index, Counters{r.showTimes, r.toShowTime});
        }
        return false;
    }
    NoteSaved();
    return others;
}

bool CWordStore::SaveRecord(const WordRecord& record) {
    WriteOtherFiles();
    if (!WriteOpenFile(false, &record))
        return false;
    NoteSaved();
    return true;
}

bool CWordStore::ResetTable() {
    if (!db_.Execute(
            QStringLiteral("UPDATE %1 SET showTimes = 0, toShowTime = 0").arg(CurrentCatalogueTable())))
        return false;
    learntCount_ = 0;
    tableCursor_ = 0;
    db_.MoveFirst(); // re-reads the selection, so the rows carry the reset counters
    // Zeroed in the file: nothing pending of this table is newer any more.
    const QByteArray table(tableName_.data());
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [&](const Pending& p) { return p.path == openPath_ && p.table == table; }),
                   pending_.end());
    return true;
}

CWordStore::Pending& CWordStore::PendingOf(const QString& path, const QByteArray& table) {
    for (Pending& p : pending_) {
        if (p.path == path && p.table == table)
            return p;
    }
    return pending_.emplace_back(Pending{path, table, {}});
}

const CWordStore::Counters* CWordStore::PendingCounters(int32_t index) const {
    const QByteArray table(tableName_.data());
    for (const Pending& p : pending_) {
        if (p.path == openPath_ && p.table == table) {
            const auto it = p.rows.constFind(index);
            return it != p.rows.cend() ? &*it : nullptr;
        }
    }
    return nullptr;
}

bool CWordStore::WriteOpenFile(bool withBatch, const WordRecord* extra) {
    const QByteArray table(tableName_.data());
    bool pendingHere = false;
    for (const Pending& p : pending_)
        pendingHere = pendingHere || p.path == openPath_;
    if (!pendingHere && extra == nullptr && (!withBatch || batch.empty()))
        return true;
    // One transaction: the file holds all of this save or none of it.
    const bool grouped = db_.BeginTransaction();
    bool ok = true;
    QSet<int32_t> sent;
    if (withBatch) {
        for (auto p = batch.begin(); ok && p != batch.end(); p = WordBatch::Next(p)) {
            const WordRecord& r = WordBatch::At(p);
            ok = SendCounters(db_, tableName_.data(), r);
            if (pendingHere)
                sent.insert(r.index);
        }
    }
    if (ok && extra != nullptr) {
        ok = SendCounters(db_, tableName_.data(), *extra);
        sent.insert(extra->index);
    }
    for (const Pending& p : pending_) {
        if (!ok)
            break;
        if (p.path != openPath_)
            continue;
        for (auto it = p.rows.cbegin(); ok && it != p.rows.cend(); ++it) {
            if (p.table == table && sent.contains(it.key()))
                continue; // the batch's value is the newer one
            WordRecord r;
            r.index = it.key();
            r.showTimes = it->showTimes;
            r.toShowTime = it->toShowTime;
            ok = SendCounters(db_, p.table.constData(), r);
        }
    }
    if (ok && grouped) {
        ok = db_.CommitTransaction();
    } else if (grouped) {
        db_.RollbackTransaction();
    }
    if (ok) {
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                      [&](const Pending& p) { return p.path == openPath_; }),
                       pending_.end());
    } else {
        NoteFailure(openPath_, db_.LastFailure(), db_.GetLastError());
    }
    return ok;
}

bool CWordStore::WriteOtherFiles() {
    bool ok = true;
    QStringList done;
    for (const Pending& p : pending_) {
        if (p.path == openPath_ || done.contains(p.path))
            continue;
        done << p.path;
        sql::Connection file;
        bool written = file.OpenList(p.path, sql::OpenMode::ReadWrite);
        {
            sql::Transaction transaction(file);
            written = written && transaction.Begun();
            for (const Pending& q : pending_) {
                if (!written || q.path != p.path)
                    continue;
                sql::Statement update(file, "UPDATE \"" + q.table +
                                                "\" SET showTimes = ?, toShowTime = ? "
                                                "WHERE \"index\" = ?");
                written = update.IsValid();
                for (auto it = q.rows.cbegin(); written && it != q.rows.cend(); ++it) {
                    update.Bind(1, int64_t{static_cast<int32_t>(it->showTimes)});
                    update.Bind(2, int64_t{static_cast<int32_t>(it->toShowTime)});
                    update.Bind(3, int64_t{it.key()});
                    written = update.Run();
                    update.Reset();
                }
            }
            written = written && transaction.Commit();
        }
        if (written) {
            const QString path = p.path;
            pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                          [&](const Pending& q) { return q.path == path; }),
                           pending_.end());
            return WriteOtherFiles() && ok; // pending_ changed under the loop
        }
        NoteFailure(p.path, file.LastFailure(), file.ErrorText());
        ok = false;
    }
    return ok;
}

void CWordStore::NoteFailure(const QString& path, sql::Failure failure, const QString& engineText) {
    lastFailure_ = QStringLiteral("%1: %2").arg(path, engineText);
    saveWarning_.Failed(path, failure, engineText);
}

void CWordStore::NoteSaved() {
    if (pending_.empty())
        saveWarning_.Saved();
}

QString CWordStore::TakeSaveWarning() {
    return saveWarning_.Take();
}

QString CWordStore::UnsavedSummary() const {
    QStringList files;
    for (const Pending& p : pending_) {
        if (!files.contains(p.path))
            files << p.path;
    }
    return QStringLiteral("the study counters of %1 could not be written (%2)")
        .arg(files.join(QStringLiteral(", ")), lastFailure_);
}

} // namespace mnemora
