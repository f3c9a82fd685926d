#include "store/DbAccess.h"

#include "platform/FileAccess.h"
#include "store/SqlDialect.h"

#include <QFileInfo>
#include <QUrl>
#include <cstring>

namespace mnemora {
namespace {

const char kNoCurrentRowText[] = "Either BOF or EOF is True, or the current record has been deleted. "
                                 "Requested operation requires a current record.";
const char kNoSuchColumnText[] = "Item cannot be found in the collection corresponding to the requested "
                                 "name or ordinal.";

// Parses a whole decimal integer with optional blanks around it.
bool ParseInteger(QByteArrayView text, int64_t& value) {
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok;
}

} // namespace

CDbAccess::CDbAccess() = default;

CDbAccess::~CDbAccess() {
    Close();
}

QString CDbAccess::FormatError(uint32_t code, const QString& description) {
    return QStringLiteral("ADO 错误：0x%1，%2").arg(code, 8, 16, QLatin1Char(' ')).arg(description);
}

void CDbAccess::Fail(uint32_t code, const QString& description) {
    lastFailure_ = sql::Failure::Other;
    errorText = FormatError(code, description);
}

void CDbAccess::FailFromEngine(uint32_t code) {
    const QString text = db_.ErrorText();
    const sql::Failure failure = !text.isNull() ? db_.LastFailure() : sql::Failure::Other;
    if (failure == sql::Failure::OutOfMemory)
        code = dberr::kOutOfMemory;
    Fail(code, !text.isNull() ? text : QStringLiteral("database error"));
    lastFailure_ = failure;
}

bool CDbAccess::CreateObjects() {
    // The engine needs no per-object set-up; initialising the library is what can fail.
    if (!sql::Initialize()) {
        objectsCreated_ = false;
        errorText = QStringLiteral("数据库连接对象创建失败");
        return false;
    }
    objectsCreated_ = true;
    return true;
}

bool CDbAccess::SetConnectString(const QString& provider, const QString& dataSource,
                                 const QString& password) {
    connectString = QStringLiteral("Provider=%1;").arg(provider) + QStringLiteral("User ID=Admin;") +
                    QStringLiteral("Data Source=%1;").arg(dataSource) +
                    QStringLiteral("Jet OLEDB:DataBase Password=%1;").arg(password);
    dataSource_ = dataSource;
    password_ = password;
    return true;
}

bool CDbAccess::Open() {
    Close();
    if (!objectsCreated_) {
        Fail(dberr::kPointer, QStringLiteral("The connection object does not exist."));
        return false;
    }
    const QFileInfo file(dataSource_);
    if (!file.exists()) {
        Fail(dberr::kFail, QStringLiteral("Could not find file '%1'.").arg(dataSource_));
        return false;
    }
    // SQLite would treat an empty file as a new database and write into it on open.
    if (!file.isFile() || file.size() == 0) {
        Fail(dberr::kFail, QStringLiteral("'%1' is not a database file.").arg(dataSource_));
        return false;
    }
    const QByteArray path = QFile::encodeName(dataSource_);
    // A commit needs the file and, for its rollback journal, the folder to be writable.
    // Without them the list opens read-only: reading works, write-back fails silently,
    // and nothing is created beside the file.
    const bool writable = CanWriteFile(dataSource_) && CanWriteFolder(file.absolutePath());
    const sql::OpenMode mode = writable ? sql::OpenMode::ReadWrite : sql::OpenMode::ReadOnly;
    const QByteArray key = password_.toUtf8();
    // No CREATE flag: the word store never makes a list file of its own. The key is only
    // checked when the first page is read: a wrong password, random bytes or a truncated
    // header all fail there.
    const auto connect = [&](const QByteArray& name, sql::OpenMode how) {
        if (db_.Open(name, how, key) && db_.Exec("SELECT count(*) FROM sqlite_master"))
            return true;
        FailFromEngine(dberr::kFail);
        errorText += QStringLiteral(" (%1)").arg(dataSource_);
        db_.Close();
        return false;
    };
    // A file an earlier build left in WAL mode needs a shared-memory file beside it, which
    // a read-only folder cannot take; nobody can write the list there, so it is read as
    // an unchanging file instead.
    if (!connect(path, mode)) {
        const QByteArray uri = QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded() + "?immutable=1";
        if (writable || !connect(uri, sql::OpenMode::ImmutableUri))
            return false;
        errorText.clear();
    }
    // The rollback journal keeps the file self-contained: a persistent WAL mode would
    // stop the list from opening in a folder its user cannot write. A file an earlier
    // build left in WAL mode is switched back when it can be written. The write-back is
    // one transaction (SaveBatch), so one journal sync per batch is all it costs. The
    // larger page cache keeps a whole list table in memory while the walk re-reads it.
    if (writable)
        db_.Exec("PRAGMA journal_mode=DELETE");
    db_.Exec("PRAGMA cache_size=-16384");
    return true;
}

void CDbAccess::DropPrepared() {
    prepared_.Finalize();
    preparedText_.clear();
}

bool CDbAccess::Close() {
    CloseRecordset();
    DropPrepared();
    db_.Close();
    return true;
}

bool CDbAccess::CloseRecordset() {
    stmt_.Finalize();
    columnNames_.clear();
    indexColumn_ = -1;
    eof_ = true;
    recordCount_ = 0;
    return true;
}

bool CDbAccess::OpenRecordset(const QByteArray& statement) {
    CloseRecordset();
    if (!db_.IsOpen()) {
        Fail(dberr::kPointer, QStringLiteral("The connection is not open."));
        return false;
    }
    const QByteArray sql = AdaptJetStatement(QString::fromLocal8Bit(statement)).toUtf8();

    // The walk compares its row counter with the count, so it has to be exact.
    int64_t rows = 0;
    {
        sql::Statement count;
        if (!count.Prepare(db_, "SELECT count(*) FROM (" + sql + ")") || !count) {
            FailFromEngine(dberr::kSyntax);
            return false;
        }
        if (count.Next() != sql::Step::Row) {
            FailFromEngine(dberr::kFail);
            return false;
        }
        rows = count.Int(0);
    }

    if (!stmt_.Prepare(db_, sql) || !stmt_) {
        FailFromEngine(dberr::kSyntax);
        stmt_.Finalize();
        return false;
    }
    const int columns = stmt_.ColumnCount();
    for (int i = 0; i < columns; ++i)
        columnNames_.append(stmt_.ColumnName(i));
    indexColumn_ = ColumnIndex("index");

    const sql::Step step = stmt_.Next();
    if (step == sql::Step::Error) {
        FailFromEngine(dberr::kFail);
        CloseRecordset();
        return false;
    }
    eof_ = step == sql::Step::Done;
    recordCount_ = rows > INT32_MAX ? INT32_MAX : static_cast<int32_t>(rows);
    return true;
}

void CDbAccess::MoveNext() {
    if (!stmt_) {
        Fail(dberr::kPointer, QStringLiteral("The recordset is not open."));
        return;
    }
    if (eof_) {
        Fail(dberr::kNoCurrentRow, QString::fromLatin1(kNoCurrentRowText));
        return;
    }
    const sql::Step step = stmt_.Next();
    eof_ = step != sql::Step::Row;
    if (step == sql::Step::Error)
        FailFromEngine(dberr::kFail);
}

void CDbAccess::MoveFirst() {
    if (!stmt_) {
        Fail(dberr::kPointer, QStringLiteral("The recordset is not open."));
        return;
    }
    // Re-running the selection makes the rows read from here on carry every change
    // written since it was opened (the completion reset relies on this).
    stmt_.Reset();
    const sql::Step step = stmt_.Next();
    eof_ = step != sql::Step::Row;
    if (step == sql::Step::Error)
        FailFromEngine(dberr::kFail);
}

int32_t CDbAccess::GetRecordCount() {
    return stmt_ ? recordCount_ : 0;
}

bool CDbAccess::Execute(const QString& statement) {
    if (executeObserver_)
        executeObserver_(statement);
    if (!db_.IsOpen()) {
        Fail(dberr::kPointer, QStringLiteral("The connection is not open."));
        return false;
    }
    const QByteArray sql = AdaptJetStatement(statement).toUtf8();
    QByteArrayView rest(sql);
    while (!rest.isEmpty()) {
        sql::Statement stmt;
        qsizetype used = 0;
        if (!stmt.Prepare(db_, rest, &used)) {
            FailFromEngine(dberr::kSyntax);
            return false;
        }
        rest = rest.sliced(used);
        // Only blanks or a comment were left, or the rows a statement returns are dropped.
        if (stmt && !stmt.Run()) {
            FailFromEngine(dberr::kFail);
            return false;
        }
    }
    return true;
}

bool CDbAccess::ExecuteWith(const QString& statement, std::initializer_list<DbValue> values) {
    if (executeObserver_) {
        QString sent;
        auto value = values.begin();
        for (const QChar c : statement) {
            if (c != QLatin1Char('?') || value == values.end()) {
                sent += c;
                continue;
            }
            sent += value->isText ? QLatin1Char('\'') + QString::fromUtf8(value->text) + QLatin1Char('\'')
                                  : QString::number(value->number);
            ++value;
        }
        executeObserver_(sent);
    }
    if (!db_.IsOpen()) {
        Fail(dberr::kPointer, QStringLiteral("The connection is not open."));
        return false;
    }
    if (!prepared_ || preparedText_ != statement) {
        DropPrepared();
        const QByteArray sql = AdaptJetStatement(statement).toUtf8();
        if (!prepared_.Prepare(db_, sql) || !prepared_) {
            FailFromEngine(dberr::kSyntax);
            DropPrepared();
            return false;
        }
        preparedText_ = statement;
    }
    int i = 1;
    for (const DbValue& v : values) {
        if (v.isText)
            prepared_.BindStatic(i++, v.text); // the values outlive the step below
        else
            prepared_.Bind(i++, v.number);
    }
    const bool done = prepared_.Run();
    // Reset at once: a statement left mid-run would hold its lock past the commit.
    prepared_.Reset();
    if (!done) {
        FailFromEngine(dberr::kFail);
        return false;
    }
    return true;
}

bool CDbAccess::BeginTransaction() {
    return db_.Exec("BEGIN");
}

bool CDbAccess::CommitTransaction() {
    if (!db_.InTransaction())
        return false;
    if (db_.Exec("COMMIT"))
        return true;
    db_.Exec("ROLLBACK");
    return false;
}

void CDbAccess::RollbackTransaction() {
    if (db_.InTransaction())
        db_.Exec("ROLLBACK");
}

int CDbAccess::ColumnIndex(const char* column) {
    // Reads by name go through the same columns in the same order row after row: start
    // just after the previous hit and try the exact spelling first. A selection of one
    // table has no two names that differ only in case, so this finds the column the
    // case-blind search would.
    const int count = columnNames_.size();
    for (int k = 0; k < count; ++k) {
        const int i = (columnHint_ + k) % count;
        if (std::strcmp(column, columnNames_[i].constData()) == 0) {
            columnHint_ = i + 1;
            return i;
        }
    }
    const QByteArrayView name(column);
    for (int i = 0; i < count; ++i) {
        if (name.compare(columnNames_[i], Qt::CaseInsensitive) == 0) {
            columnHint_ = i + 1;
            return i;
        }
    }
    return -1;
}

bool CDbAccess::CheckColumn(int column) {
    if (!stmt_) {
        Fail(dberr::kPointer, QStringLiteral("The recordset is not open."));
        return false;
    }
    if (eof_) {
        Fail(dberr::kNoCurrentRow, QString::fromLatin1(kNoCurrentRowText));
        return false;
    }
    if (column < 0 || column >= columnNames_.size()) {
        Fail(dberr::kNoSuchColumn, QString::fromLatin1(kNoSuchColumnText));
        return false;
    }
    return true;
}

bool CDbAccess::GetString(const char* column, QString& out) {
    return GetString(ColumnIndex(column), out);
}

bool CDbAccess::GetString(int column, QString& out) {
    if (!CheckColumn(column))
        return false;
    const QByteArrayView text = stmt_.TextBytes(column);
    if (text.data() == nullptr)
        return false; // NULL, a number or a blob: not a text
    QString value = QString::fromUtf8(text);
    qsizetype start = 0;
    while (start < value.size() && value[start].isSpace())
        ++start;
    if (start > 0)
        value.remove(0, start);
    out = std::move(value);
    return true;
}

bool CDbAccess::ReadInt(int column, int64_t& value, bool& present) {
    present = false;
    if (!CheckColumn(column))
        return false;
    switch (stmt_.Type(column)) {
    case sql::ColumnType::Null:
        return true;
    case sql::ColumnType::Integer:
        value = stmt_.Int(column);
        present = true;
        return true;
    case sql::ColumnType::Float: {
        // A real outside the 64-bit range (or not a number) has no integer value.
        const double real = stmt_.Real(column);
        if (!(real >= -0x1p63 && real < 0x1p63)) {
            Fail(0x8002000A, QStringLiteral("Overflow: %1 in column '%2' is out of range.")
                                 .arg(real)
                                 .arg(QLatin1String(columnNames_[column])));
            return false;
        }
        value = static_cast<int64_t>(real);
        present = true;
        return true;
    }
    case sql::ColumnType::Text: {
        const QByteArrayView text = stmt_.Bytes(column);
        if (text.trimmed().isEmpty())
            return true; // an empty value reads as 0
        if (ParseInteger(text, value)) {
            present = true;
            return true;
        }
        break;
    }
    default:
        break;
    }
    Fail(dberr::kTypeMismatch,
         QStringLiteral("Type mismatch in column '%1'.").arg(QLatin1String(columnNames_[column])));
    return false;
}

bool CDbAccess::GetInt(const char* column, int32_t& out) {
    return GetInt(ColumnIndex(column), out);
}

bool CDbAccess::GetInt(int column, int32_t& out) {
    out = 0;
    int64_t value = 0;
    bool present = false;
    if (!ReadInt(column, value, present))
        return false;
    // The counters are 32-bit patterns; a wider value keeps its low 32 bits.
    if (present)
        out = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

bool CDbAccess::GetIndex(int32_t& out) {
    out = 0;
    int64_t value = 0;
    bool present = false;
    if (!ReadInt(indexColumn_, value, present))
        return false;
    if (!present)
        return true;
    // The true value, never a truncated one: the write-back addresses the row by it,
    // and a wrapped value could name another row.
    if (value < INT32_MIN || value > INT32_MAX) {
        Fail(0x8002000A, QStringLiteral("Overflow: index %1 is out of range.").arg(value));
        return false;
    }
    out = static_cast<int32_t>(value);
    return true;
}

} // namespace mnemora
