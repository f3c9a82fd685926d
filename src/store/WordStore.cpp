#include "store/WordStore.h"

#include "platform/DataLocation.h"
#include "store/WordCatalogue.h"

#include <QDir>
#include <cstdio>
#include <cstring>

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

int CWordStore::OpenWordList(int index, int cat) {
    category_ = cat;
    listIndex_ = index;
    // A rebuild holds the folder only while it replaces the files.
    if (!folderLock_.Acquire(dbFolder_, kFolderLockWaitMs))
        std::fprintf(stderr, "mnemora: 词库文件夹 %s 正由进程 %lld 改写，等了 %d 秒仍未完成，照常打开\n",
                     qPrintable(QDir::toNativeSeparators(dbFolder_)), folderLock_.HolderPid(),
                     kFolderLockWaitMs / 1000);
    // A key outside the catalogue gives an empty path, which fails like a missing file.
    db_.SetConnectString(QString::fromLatin1(kProviderName), ListFilePath(cat, index),
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
    recordCount_ = db_.GetRecordCount();
    tableCursor_ = 0;
    learntCount_ = 0;
    ++selection_;
}

bool CWordStore::ReadRowDetails(WordRecord& record) {
    const auto texts = record.Texts();
    for (QString* text : texts)
        text->clear();
    const bool indexRead = db_.GetIndex(record.index);
    // A NULL or non-text value leaves its text empty: not a failure.
    for (size_t i = 0; i < texts.size(); ++i)
        db_.GetString(WordTexts::kColumns[i], *texts[i]);
    return indexRead;
}

bool CWordStore::ReadCounters(uint32_t& showTimes, uint32_t& toShowTime) {
    int32_t shown = 0;
    int32_t due = 0;
    const bool ok = db_.GetInt("showTimes", shown);
    const bool dueOk = db_.GetInt("toShowTime", due);
    showTimes = static_cast<uint32_t>(shown);
    toShowTime = static_cast<uint32_t>(due);
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

void CWordStore::SaveBatch() {
    // One transaction for the batch; a failed statement is ignored and the rest are still sent.
    const bool grouped = db_.BeginTransaction();
    for (auto p = batch.begin(); p != batch.end(); p = WordBatch::Next(p))
        SendCounters(db_, tableName_.data(), WordBatch::At(p));
    if (grouped)
        db_.CommitTransaction();
}

bool CWordStore::SaveRecord(const WordRecord& record) {
    return SendCounters(db_, tableName_.data(), record);
}

bool CWordStore::ResetTable() {
    if (!db_.Execute(
            QStringLiteral("UPDATE %1 SET showTimes = 0, toShowTime = 0").arg(CurrentCatalogueTable())))
        return false;
    learntCount_ = 0;
    tableCursor_ = 0;
    db_.MoveFirst(); // re-reads the selection, so the rows carry the reset counters
    return true;
}

} // namespace mnemora
