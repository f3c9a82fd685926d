#include "FixtureDb.h"

#include <QFile>
#include <cstdio>
#include <sqlcipher/sqlite3.h>

namespace fixture {
namespace {

sqlite3* OpenKeyed(const QString& path, const QString& password, bool create) {
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "fixture: cannot open %s\n", qPrintable(path));
        sqlite3_close(db);
        return nullptr;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
    return db;
}

void Bind(sqlite3_stmt* stmt, int column, const QVariant& value) {
    const QByteArray text = value.toString().toUtf8();
    if (value.isNull())
        sqlite3_bind_null(stmt, column);
    else if (value.typeId() == QMetaType::QString)
        sqlite3_bind_text(stmt, column, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    else
        sqlite3_bind_int64(stmt, column, value.toLongLong());
}

} // namespace

bool WriteTable(const QString& path, const QString& table, const QList<Row>& rows, const QString& password) {
    sqlite3* db = OpenKeyed(path, password, true);
    if (db == nullptr)
        return false;
    const QByteArray create =
        QStringLiteral("CREATE TABLE %1 (\"index\" INTEGER PRIMARY KEY, word TEXT, pronounce TEXT, "
                       "wordChn TEXT, sentence1 TEXT, sentence1Chn TEXT, sentence2 TEXT, "
                       "sentence2Chn TEXT, showTimes INTEGER, toShowTime INTEGER)")
            .arg(table)
            .toUtf8();
    const QByteArray insert =
        QStringLiteral("INSERT INTO %1 (\"index\", word, pronounce, wordChn, sentence1, "
                       "sentence1Chn, sentence2, sentence2Chn, showTimes, toShowTime) "
                       "VALUES (?,?,?,?,?,?,?,?,?,?)")
            .arg(table)
            .toUtf8();
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr) == SQLITE_OK;
    for (qsizetype r = 0; ok && r < rows.size(); ++r) {
        const Row& row = rows[r];
        const QVariant values[] = {row.index,     row.word,         row.pronounce, row.wordChn,
                                   row.sentence1, row.sentence1Chn, row.sentence2, row.sentence2Chn,
                                   row.showTimes, row.toShowTime};
        for (int i = 0; i < 10; ++i)
            Bind(stmt, i + 1, values[i]);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "fixture: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

QList<Row> GeneratedRows(int n, int showTimes, int toShowTime) {
    QList<Row> rows;
    for (int i = 1; i <= n; ++i) {
        const QString word = QStringLiteral("word%1").arg(i);
        rows << Row{i,
                    word,
                    showTimes,
                    toShowTime,
                    QStringLiteral("/wɜːd%1/").arg(i),
                    QStringLiteral("n. 单词%1").arg(i),
                    QStringLiteral("This is sentence one for %1.").arg(word),
                    QStringLiteral("这是第一个例句%1。").arg(i),
                    QStringLiteral("And here is another sentence, %1.").arg(word),
                    QStringLiteral("这是另一个例句%1。").arg(i)};
    }
    return rows;
}

QList<QStringList> Select(const QString& path, const QString& sql, const QString& password) {
    QList<QStringList> rows;
    sqlite3* db = OpenKeyed(path, password, false);
    sqlite3_stmt* stmt = nullptr;
    if (db != nullptr && sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            rows << row;
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

QString Query(const QString& path, const QString& sql, const QString& password) {
    return Select(path, sql, password).value(0).value(0);
}

std::optional<QPair<qint64, qint64>> Counters(const QString& path, const QString& table, int index,
                                              const QString& password) {
    const QList<QStringList> rows = Select(
        path,
        QStringLiteral("SELECT showTimes, toShowTime FROM %1 WHERE \"index\" = %2").arg(table).arg(index),
        password);
    if (rows.size() != 1)
        return std::nullopt;
    return QPair<qint64, qint64>(rows[0][0].toLongLong(), rows[0][1].toLongLong());
}

} // namespace fixture
