#include "store/Sql.h"

#include "store/WordCatalogue.h"

#include <QFile>
#include <sqlcipher/sqlite3.h>

namespace mnemora::sql {

bool Initialize() {
    return sqlite3_initialize() == SQLITE_OK;
}

bool Connection::Open(const QByteArray& name, OpenMode mode, QByteArrayView key) {
    Close();
    int flags = SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::Create:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case OpenMode::ImmutableUri:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        break;
    }
    // A failed open still hands back a handle, which carries the error text.
    const int rc = sqlite3_open_v2(name.constData(), &db_, flags, nullptr);
    if (rc == SQLITE_OK && !key.isEmpty())
        sqlite3_key(db_, key.data(), static_cast<int>(key.size()));
    open_ = rc == SQLITE_OK;
    return open_;
}

bool Connection::OpenList(const QString& path, OpenMode mode) {
    return Open(QFile::encodeName(path), mode, kDatabasePassword);
}

void Connection::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    open_ = false;
}

bool Connection::Exec(const char* sql) {
    return open_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Connection::InTransaction() const {
    return open_ && sqlite3_get_autocommit(db_) == 0;
}

int Connection::Changes() const {
    return db_ != nullptr ? sqlite3_changes(db_) : 0;
}

void Connection::SetBusyTimeout(int ms) {
    sqlite3_busy_timeout(db_, ms);
}

QString Connection::ErrorText() const {
    return db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
}

Failure Connection::LastFailure() const {
    if (db_ == nullptr)
        return Failure::Other;
    switch (sqlite3_errcode(db_) & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return Failure::None;
    case SQLITE_NOMEM:
        return Failure::OutOfMemory;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Failure::Damage;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Failure::Busy;
    case SQLITE_READONLY:
        return Failure::ReadOnly;
    case SQLITE_FULL:
        return Failure::Full;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return Failure::IoError;
    default:
        return Failure::Other;
    }
}

bool Statement::Prepare(Connection& db, QByteArrayView sql, qsizetype* tail) {
    Finalize();
    if (!db.open_)
        return false;
    const char* end = nullptr;
    const int rc = sqlite3_prepare_v2(db.db_, sql.data(), static_cast<int>(sql.size()), &stmt_, &end);
    if (tail != nullptr)
        *tail = end != nullptr ? end - sql.data() : sql.size();
    if (rc != SQLITE_OK) {
        Finalize();
        return false;
    }
    return true;
}

void Statement::Finalize() {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
}

void Statement::BindStatic(int i, QByteArrayView text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

void Statement::Bind(int i, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt_, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::Bind(int i, int64_t value) {
    sqlite3_bind_int64(stmt_, i, value);
}

Step Statement::Next() {
    switch (sqlite3_step(stmt_)) {
    case SQLITE_ROW:
        return Step::Row;
    case SQLITE_DONE:
        return Step::Done;
    default:
        return Step::Error;
    }
}

bool Statement::Run() {
    Step step;
    while ((step = Next()) == Step::Row) {
    }
    return step == Step::Done;
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
}

void Statement::ClearBindings() {
    sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

QByteArray Statement::ColumnName(int i) const {
    return QByteArray(sqlite3_column_name(stmt_, i));
}

ColumnType Statement::Type(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER:
        return ColumnType::Integer;
    case SQLITE_FLOAT:
        return ColumnType::Float;
    case SQLITE_TEXT:
        return ColumnType::Text;
    case SQLITE_BLOB:
        return ColumnType::Blob;
    default:
        return ColumnType::Null;
    }
}

int64_t Statement::Int(int i) const {
    return sqlite3_column_int64(stmt_, i);
}

double Statement::Real(int i) const {
    return sqlite3_column_double(stmt_, i);
}

QByteArrayView Statement::Bytes(int i) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return QByteArrayView(text, text != nullptr ? sqlite3_column_bytes(stmt_, i) : 0);
}

QByteArrayView Statement::TextBytes(int i) const {
    if (sqlite3_column_type(stmt_, i) != SQLITE_TEXT)
        return {};
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    // Never null for a text, even when the engine could not hand it over.
    return text != nullptr ? QByteArrayView(text, sqlite3_column_bytes(stmt_, i)) : QByteArrayView("", 0);
}

QString Statement::Text(int i) const {
    const QByteArrayView bytes = Bytes(i);
    return bytes.data() == nullptr ? QString() : QString::fromUtf8(bytes);
}

Transaction::Transaction(Connection& db, bool immediate) : db_(db) {
    active_ = db_.Exec(immediate ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    Rollback();
}

void Transaction::Rollback() {
    if (active_)
        db_.Exec("ROLLBACK");
    active_ = false;
}

bool Transaction::Commit() {
    if (!active_ || !db_.InTransaction()) {
        active_ = false;
        return false;
    }
    active_ = false;
    if (db_.Exec("COMMIT"))
        return true;
    db_.Exec("ROLLBACK");
    return false;
}

} // namespace mnemora::sql
