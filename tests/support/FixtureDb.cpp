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

// value as an SQL literal: NULL, a quoted text or an integer.
QString Literal(const QVariant& value) {
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::QString)
        return u'\'' + value.toString().replace(u'\'', QStringLiteral("''")) + u'\'';
    return QString::number(value.toLongLong());
}

} // namespace

bool WriteTable(const QString& path, const QString& table, const QList<Row>& rows, const QString& password) {
    sqlite3* db = OpenKeyed(path, password, true);
    if (db == nullptr)
        return false;
    QString sql = QStringLiteral("CREATE TABLE %1 (\"index\" INTEGER PRIMARY KEY, word TEXT, pronounce TEXT, "
                                 "wordChn TEXT, sentence1 TEXT, sentence1Chn TEXT, sentence2 TEXT, "
                                 "sentence2Chn TEXT, showTimes INTEGER, toShowTime INTEGER); BEGIN;")
                      .arg(table);
    for (const Row& row : rows) {
        QStringList values;
        for (const QVariant& value :
             {row.index, row.word, row.pronounce, row.wordChn, row.sentence1, row.sentence1Chn, row.sentence2,
              row.sentence2Chn, row.showTimes, row.toShowTime})
            values << Literal(value);
        sql += QStringLiteral(" INSERT INTO %1 VALUES (%2);").arg(table, values.join(u','));
    }
    const bool ok = sqlite3_exec(db, (sql + QStringLiteral(" COMMIT;")).toUtf8().constData(), nullptr,
                                 nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "fixture: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

QList<Row> GeneratedRows(int n, int showTimes, int toShowTime) {
    QList<Row> rows;
    for (int i = 1; i <= n; ++i) {
        const auto t = [i](const char* pattern) { return QString::fromUtf8(pattern).arg(i); };
        // clang-format off
        rows << Row{i, t("word%1"), showTimes, toShowTime, t("/wɜːd%1/"), t("n. 单词%1"),
                    t("This is sentence one for word%1."), t("这是第一个例句%1。"),
                    t("And here is another sentence, word%1."), t("这是另一个例句%1。")};
        // clang-format on
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
