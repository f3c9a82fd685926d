#include "store/ListFile.h"

#include "platform/FileAccess.h"
#include "store/Sql.h"

#include <QFile>
#include <QSet>

namespace mnemora {
namespace {

QByteArray Quoted(const QString& name) {
    return '"' + name.toUtf8().replace('"', "\"\"") + '"';
}

using sql::Connection;
using sql::OpenMode;
using sql::Statement;
using sql::Step;

// The tables of a list file by name; the first read, where a wrong key shows.
bool TableNames(Connection& db, QStringList& names, QString& error) {
    Statement list(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name");
    if (!db.IsOpen() || !list.IsValid()) {
        error = QStringLiteral("not a word-list file with the expected password (%1)").arg(db.ErrorText());
        return false;
    }
    while (list.Next() == Step::Row)
        names << list.Text(0);
    return true;
}

bool WriteTables(Connection& db, const std::vector<TableRows>& tables) {
    if (!db.Exec("PRAGMA journal_mode=DELETE"))
        return false;
    sql::Transaction transaction(db);
    if (!transaction.Begun())
        return false;
    for (const TableRows& table : tables) {
        const QByteArray name = Quoted(table.table);
        const QByteArray create = "CREATE TABLE " + name +
                                  " (\"index\" INTEGER PRIMARY KEY, word TEXT, pronounce TEXT, wordChn TEXT, "
                                  "sentence1 TEXT, sentence1Chn TEXT, sentence2 TEXT, sentence2Chn TEXT, "
                                  "showTimes INTEGER, toShowTime INTEGER)";
        if (!db.Exec(create.constData()))
            return false;
        Statement insert(db, "INSERT INTO " + name +
                                 " (\"index\", word, pronounce, wordChn, sentence1, sentence1Chn, "
                                 "sentence2, sentence2Chn, showTimes, toShowTime) "
                                 "VALUES (?,?,?,?,?,?,?,?,?,?)");
        if (!insert.IsValid())
            return false;
        int index = 0;
        for (const WordRow& row : table.rows) {
            insert.Bind(1, int64_t{++index});
            int column = 2;
            for (const QString* text : row.Texts())
                insert.Bind(column++, *text);
            insert.Bind(9, int64_t{row.showTimes});
            insert.Bind(10, int64_t{row.toShowTime});
            if (insert.Next() != Step::Done)
                return false;
            insert.Reset();
        }
    }
    return transaction.Commit();
}

} // namespace

void RemoveDatabaseFiles(const QString& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

bool ReplaceDatabaseFile(const QString& temp, const QString& target) {
    for (const char* side : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(side));
    return RenameOver(temp, target);
}

bool ReadSavedProgress(const QString& path, const QStringList& tables, SavedProgress& progress,
                       QString& error) {
    Connection db;
    if (!db.OpenList(path, OpenMode::ReadWrite)) {
        error = QStringLiteral("cannot open: %1").arg(db.ErrorText());
        return false;
    }
    QStringList present;
    if (!TableNames(db, present, error))
        return false;
    for (const QString& table : tables) {
        if (!present.contains(table))
            continue;
        Statement select(db, "SELECT word, showTimes, toShowTime FROM " + Quoted(table));
        if (!select.IsValid()) {
            error = QStringLiteral("cannot read table %1: %2").arg(table, db.ErrorText());
            return false;
        }
        QHash<QString, StudyCounters>& counters = progress[table];
        Step step;
        while ((step = select.Next()) == Step::Row) {
            const QString word = select.Text(0);
            if (!counters.contains(word))
                counters.insert(word, {select.Int(1), select.Int(2)});
        }
        if (step != Step::Done) {
            error = QStringLiteral("cannot read table %1: %2").arg(table, db.ErrorText());
            return false;
        }
    }
    Statement mode(db, "PRAGMA journal_mode=DELETE");
    if (!mode.IsValid() || mode.Next() != Step::Row ||
        mode.Text(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("the file is in use by another program (close Mnemora and build again)");
        return false;
    }
    return true;
}

bool ReadListTables(const QString& path, std::vector<TableRows>& tables, QString& error) {
    tables.clear();
    Connection db;
    db.OpenList(path, OpenMode::ReadOnly);
    QStringList names;
    if (!TableNames(db, names, error))
        return false;
    for (const QString& name : names) {
        Statement select(db, "SELECT word, pronounce, wordChn, sentence1, sentence1Chn, sentence2, "
                             "sentence2Chn, showTimes, toShowTime FROM " +
                                 Quoted(name) + " ORDER BY \"index\"");
        if (!select.IsValid()) {
            error = QStringLiteral("cannot read table %1: %2").arg(name, db.ErrorText());
            return false;
        }
        TableRows& table = tables.emplace_back(TableRows{name, {}});
        Step step;
        while ((step = select.Next()) == Step::Row) {
            WordRow& row = table.rows.emplace_back();
            int column = 0;
            for (QString* text : row.Texts())
                *text = select.Text(column++);
            row.showTimes = select.Int(7);
            row.toShowTime = select.Int(8);
        }
        if (step != Step::Done) {
            error = QStringLiteral("cannot read table %1: %2").arg(name, db.ErrorText());
            return false;
        }
    }
    return true;
}

int CarryOver(const QHash<QString, StudyCounters>& saved, TableRows& table, QStringList& dropped) {
    QHash<QString, WordRow*> byWord;
    QHash<QString, WordRow*> byLower;
    for (WordRow& row : table.rows) {
        byWord.insert(row.word, &row);
        byLower.insert(row.word.toLower(), &row);
    }
    // Exact spellings first, so "Polish" and "polish" in an old list each keep their own.
    QSet<const WordRow*> matched;
    QList<QString> unmatched;
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        WordRow* row = byWord.value(it.key());
        if (row == nullptr) {
            unmatched << it.key();
            continue;
        }
        row->showTimes = it->showTimes;
        row->toShowTime = it->toShowTime;
        matched.insert(row);
    }
    dropped.clear();
    for (const QString& word : unmatched) {
        const StudyCounters counters = saved.value(word);
        WordRow* row = byLower.value(word.toLower());
        if (row == nullptr || matched.contains(row)) {
            if (counters.showTimes != 0 || counters.toShowTime != 0)
                dropped << word;
            continue;
        }
        row->showTimes = counters.showTimes;
        row->toShowTime = counters.toShowTime;
        matched.insert(row);
    }
    int carried = 0;
    for (const WordRow* row : std::as_const(matched))
        carried += row->showTimes != 0 || row->toShowTime != 0 ? 1 : 0;
    return carried;
}

bool WriteListFile(const QString& path, const std::vector<TableRows>& tables, QString& error) {
    RemoveDatabaseFiles(path);
    bool ok;
    {
        Connection db;
        ok = db.OpenList(path, OpenMode::Create) && WriteTables(db, tables);
        if (!ok)
            error = db.ErrorText().isEmpty() ? QStringLiteral("cannot create the file") : db.ErrorText();
    }
    if (!ok)
        RemoveDatabaseFiles(path);
    return ok;
}

} // namespace mnemora
