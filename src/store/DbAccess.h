#pragma once

#include "store/Sql.h"

#include <QByteArray>
#include <QString>
#include <QVarLengthArray>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace mnemora {

// Failure codes kept in the error text. The high bit is set in each, so the 8-digit
// field of the error text always shows all 8 digits.
namespace dberr {
inline constexpr uint32_t kPointer = 0x80004003;      // a needed object does not exist
inline constexpr uint32_t kOutOfMemory = 0x8007000E;  // an allocation failed
inline constexpr uint32_t kFail = 0x80004005;         // the engine failed (open, key, read, write)
inline constexpr uint32_t kSyntax = 0x80040E14;       // the engine rejected a statement
inline constexpr uint32_t kNoCurrentRow = 0x800A0BCD; // BOF or EOF: no current row
inline constexpr uint32_t kNoSuchColumn = 0x800A0CC1; // no column of that name
inline constexpr uint32_t kTypeMismatch = 0x80020005; // a value that cannot become a number
} // namespace dberr

// A value bound to a `?` of ExecuteWith: a number, or a text that takes the column's
// type the way a quoted literal in the statement would.
struct DbValue {
    DbValue(int64_t n) : number(n) {}
    DbValue(QByteArray t) : text(std::move(t)), isText(true) {}
    int64_t number = 0;
    QByteArray text;
    bool isText = false;
};

// The only gateway to the database engine (SQLCipher). One connection, at most one
// open selection ("recordset") with a current row, and statements that return no rows.
// Every failure is caught here and kept as "ADO 错误：0x%8x，%s"; nothing is shown.
class CDbAccess final {
public:
    CDbAccess();
    ~CDbAccess();
    CDbAccess(const CDbAccess&) = delete;
    CDbAccess& operator=(const CDbAccess&) = delete;

    bool CreateObjects();
    bool SetConnectString(const QString& provider, const QString& dataSource, const QString& password);
    bool Open();
    bool Close();
    bool CloseRecordset();
    bool OpenRecordset(const QByteArray& statement);
    void MoveNext();
    void MoveFirst();
    int32_t GetRecordCount();
    bool Execute(const QString& statement);
    // One statement with `?` placeholders, prepared once and kept while the connection
    // stays open, so a loop sending the same statement parses it once. The execute
    // observer sees it with the values written in, as Execute would have been sent it.
    bool ExecuteWith(const QString& statement, std::initializer_list<DbValue> values);
    // Groups the statements sent in between into one commit (one journal sync); a
    // failed statement inside leaves the others in. Not seen by the execute observer.
    bool BeginTransaction();
    bool CommitTransaction();
    void RollbackTransaction();
    // The kind of the last engine failure kept in the error text.
    sql::Failure LastFailure() const { return lastFailure_; }
    bool GetString(const char* column, QString& out);
    bool GetInt(const char* column, int32_t& out);
    bool GetIndex(int32_t& out);
    // The position of a column of the open selection (the exact spelling first, then
    // regardless of case), or -1. Valid until the selection is closed or another opened;
    // a loop over rows looks its columns up once and reads them by position. Reading
    // at -1 fails as reading a missing column by name does.
    int ColumnIndex(const char* column);
    bool GetString(int column, QString& out);
    bool GetInt(int column, int32_t& out);
    QString GetLastError() const { return errorText; }

    QString ConnectString() const { return connectString; }
    bool IsConnected() const { return db_.IsOpen(); }
    bool IsEof() const { return !stmt_.IsValid() || eof_; }

    static QString FormatError(uint32_t code, const QString& description);

    // Called with every statement Execute is about to send, as given; for diagnostics.
    void SetExecuteObserver(std::function<void(const QString&)> observer) {
        executeObserver_ = std::move(observer);
    }

private:
    void Fail(uint32_t code, const QString& description);
    void FailFromEngine(uint32_t code);
    // Whether column can be read on the current row; records the error when not.
    bool CheckColumn(int column);
    bool ReadInt(int column, int64_t& value, bool& present);
    void DropPrepared();

    bool objectsCreated_ = false;
    sql::Connection db_;
    sql::Statement stmt_; // the open selection
    bool eof_ = true;
    int32_t recordCount_ = 0;
    QVarLengthArray<QByteArray, 12> columnNames_; // of the open selection, for lookups by name
    int columnHint_ = 0;                          // where the next lookup by name starts
    int indexColumn_ = -1;                        // of "index" in the open selection
    sql::Statement prepared_;                     // of ExecuteWith, for preparedText_
    QString preparedText_;

    QString connectString;
    QString dataSource_;
    QString password_;
    QString errorText;
    sql::Failure lastFailure_ = sql::Failure::None;
    std::function<void(const QString&)> executeObserver_;
};

} // namespace mnemora
