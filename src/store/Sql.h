#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace mnemora::sql {

// How a connection opens its file. None of the modes creates a list file except Create.
enum class OpenMode {
    ReadOnly,
    ReadWrite,
    Create,       // read-write, making the file when it is missing
    ImmutableUri, // read-only, the name a file: URI that may carry ?immutable=1
};

// The kinds of engine failure callers act on.
enum class Failure {
    None,
    OutOfMemory,
    Damage, // the file is no database or a damaged one
    // The file may be fine: it is locked, read-only, out of space, or an I/O failed.
    Busy,
    ReadOnly,
    Full,
    IoError,
    Other,
};

inline bool IsTransient(Failure failure) {
    return failure == Failure::Busy || failure == Failure::ReadOnly || failure == Failure::Full ||
           failure == Failure::IoError;
}

// One connection to the engine that closes itself. The only code that talks to SQLite.
class Connection final {
public:
    Connection() = default;
    ~Connection() { Close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens name and, for a non-empty key, sets the encryption key. The key is only
    // checked when the first page is read, so Open alone succeeds for a wrong key.
    bool Open(const QByteArray& name, OpenMode mode, QByteArrayView key = {});
    // Open with the word lists' key.
    bool OpenList(const QString& path, OpenMode mode);
    void Close();
    bool IsOpen() const { return open_; }

    // Runs one or more statements that return nothing worth keeping.
    bool Exec(const char* sql);
    bool InTransaction() const;
    int Changes() const;
    void SetBusyTimeout(int ms);

    // The engine's message of the last failure ("" when never opened).
    QString ErrorText() const;
    Failure LastFailure() const;

private:
    friend class Statement;
    sqlite3* db_ = nullptr; // kept after a failed open for its error text
    bool open_ = false;
};

enum class Step { Row, Done, Error };
enum class ColumnType { Integer, Float, Text, Blob, Null };

// A prepared statement that finalises itself.
class Statement final {
public:
    Statement() = default;
    Statement(Connection& db, QByteArrayView sql) { Prepare(db, sql); }
    ~Statement() { Finalize(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Prepares the first statement of sql; tail (when given) receives the offset just
    // past it. A sql of only blanks or comments prepares nothing and succeeds.
    bool Prepare(Connection& db, QByteArrayView sql, qsizetype* tail = nullptr);
    void Finalize();
    bool IsValid() const { return stmt_ != nullptr; }
    explicit operator bool() const { return stmt_ != nullptr; }

    // The bound text must outlive the next Step (no copy is made).
    void BindStatic(int i, QByteArrayView text);
    void Bind(int i, const QString& text);
    void Bind(int i, int64_t value);
    Step Next();
    // Steps past every row; true when the statement ran to its end.
    bool Run();
    void Reset();
    void ClearBindings();

    int ColumnCount() const;
    QByteArray ColumnName(int i) const;
    ColumnType Type(int i) const;
    int64_t Int(int i) const;
    double Real(int i) const;
    QByteArrayView Bytes(int i) const;     // the value as UTF-8 text
    QByteArrayView TextBytes(int i) const; // a text value's UTF-8, a null view for other types
    QString Text(int i) const;             // NULL gives an empty string

private:
    sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN on construction, ROLLBACK on destruction unless Commit succeeded first.
class Transaction final {
public:
    explicit Transaction(Connection& db, bool immediate = false);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Begun() const { return active_; }
    // False (after rolling back) when nothing was begun or the commit failed.
    bool Commit();
    void Rollback();

private:
    Connection& db_;
    bool active_ = false;
};

// Sets up the engine library; false when it cannot be initialised.
bool Initialize();

} // namespace mnemora::sql
