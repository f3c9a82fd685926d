#include "store/WordStore.h"

#include "platform/DataLocation.h"
#include "store/WordCatalogue.h"

#include <QDir>
#include <cstdio>
#include <cstring>

namespace mnemora {

CWordStore::CWordStore(IMessageBox& messages, const QString& programFilePath) : messages_(messages) {
    if (!db.CreateObjects())
        messages_.ShowMessage(QStringLiteral("DB:CreateInstance失败"), MessageIcon::Plain);
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.category == kExamCategory) {
            examFiles << QString::fromLatin1(entry.file);
            examTables << QString::fromLatin1(entry.table);
        } else {
            studyFiles << QString::fromLatin1(entry.file);
            studyTables << QString::fromLatin1(entry.table);
        }
    }
    dbFolder = programFilePath.isEmpty() ? CurrentDataLocation().dbFolder : DbFolderFor(programFilePath);
}

CWordStore::~CWordStore() {
    db.Close();
}

QString CWordStore::ListFilePath(int cat, int index) const {
    const QStringList& files = cat == kStudyCategory ? studyFiles : examFiles;
    if (index < 0 || index >= files.size())
        return QString();
    return dbFolder + files[index];
}

QString CWordStore::CurrentCatalogueTable() const {
    const QStringList& tables = category == kStudyCategory ? studyTables : examTables;
    return listIndex >= 0 && listIndex < tables.size() ? tables[listIndex] : QString();
}

int CWordStore::OpenWordList(int index, int cat) {
    category = cat;
    listIndex = index;
    // A rebuild holds the folder only while it replaces the files.
    if (!folderLock_.Acquire(dbFolder, kFolderLockWaitMs))
        std::fprintf(stderr, "mnemora: 词库文件夹 %s 正由进程 %lld 改写，等了 %d 秒仍未完成，照常打开\n",
                     qPrintable(QDir::toNativeSeparators(dbFolder)), folderLock_.HolderPid(),
                     kFolderLockWaitMs / 1000);
    // A key outside the catalogue gives an empty path, which fails like a missing file.
    db.SetConnectString(QString::fromLatin1(kProviderName), ListFilePath(cat, index),
                        QString::fromLatin1(kDatabasePassword));
    const bool opened = db.Open();
    if (opened) {
        isOpen = 1;
        return 1;
    }
    messages_.ShowMessage(QStringLiteral("打开数据库失败！") + db.GetLastError(), MessageIcon::Error);
    return 0;
}

void CWordStore::OpenWordTable() {
    const int row = category == kStudyCategory ? listIndex + 8 : listIndex;
    tableName.fill('\0');
    if (row >= 0 && row < static_cast<int>(tableNameTable.size()))
        std::strncpy(tableName.data(), tableNameTable[row].data(), tableName.size() - 1);
    const QByteArray statement = QByteArray("SELECT * FROM ") + tableName.data();
    db.OpenRecordset(statement);
    recordCount = db.GetRecordCount();
    tableCursor = 0;
    learntCount = 0;
    ++selection;
}

void CWordStore::ReadRowDetails(WordRecord& record) {
    record.word.clear();
    record.pronounce.clear();
    record.wordChn.clear();
    record.sentence1.clear();
    record.sentence1Chn.clear();
    record.sentence2.clear();
    record.sentence2Chn.clear();
    db.GetIndex(record.index);
    db.GetString("word", record.word);
    db.GetString("pronounce", record.pronounce);
    db.GetString("wordChn", record.wordChn);
    db.GetString("sentence1", record.sentence1);
    db.GetString("sentence1Chn", record.sentence1Chn);
    db.GetString("sentence2", record.sentence2);
    db.GetString("sentence2Chn", record.sentence2Chn);
}

void CWordStore::ReadRow(WordRecord& record) {
    int32_t value = 0;
    db.GetInt("showTimes", value);
    record.showTimes = static_cast<uint32_t>(value);
    db.GetInt("toShowTime", value);
    record.toShowTime = static_cast<uint32_t>(value);
    ReadRowDetails(record);
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
    const bool grouped = db.BeginTransaction();
    for (auto p = batch.begin(); p != batch.end(); p = WordBatch::Next(p))
        SendCounters(db, tableName.data(), WordBatch::At(p));
    if (grouped)
        db.CommitTransaction();
}

bool CWordStore::SaveRecord(const WordRecord& record) {
    return SendCounters(db, tableName.data(), record);
}

bool CWordStore::ResetTable() {
    return db.Execute(
        QStringLiteral("UPDATE %1 SET showTimes = 0, toShowTime = 0").arg(CurrentCatalogueTable()));
}

} // namespace mnemora
