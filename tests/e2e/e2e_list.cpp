// Helper of the desktop tests: makes a small encrypted word list and reads its counters
// back, without going through the code under test.
//   e2e_list create FILE TABLE ROWS     rows word1..wordN with sentences, counters 0
//   e2e_list studied FILE TABLE ROWS    the same with row i shown i % 9 times, due in run i % 30
//   e2e_list counters FILE TABLE        one line "index showTimes toShowTime" per row
//   e2e_list sql FILE STATEMENT         runs it; prints each row's columns joined by spaces
#include "FixtureDb.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QStringLiteral("create"))
        return fixture::WriteTable(args[2], args[3], fixture::GeneratedRows(args[4].toInt())) ? 0 : 1;
    if (args.size() == 5 && args[1] == QStringLiteral("studied")) {
        QList<fixture::Row> rows = fixture::GeneratedRows(args[4].toInt());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            rows[i].showTimes = static_cast<int>(i % 9);
            rows[i].toShowTime = static_cast<int>(i % 30);
        }
        return fixture::WriteTable(args[2], args[3], rows) ? 0 : 1;
    }
    if (args.size() == 4 && args[1] == QStringLiteral("counters")) {
        const QString rows = fixture::Query(
            args[2], QStringLiteral("SELECT group_concat(\"index\" || ' ' || showTimes || ' ' || toShowTime, "
                                    "char(10)) FROM %1")
                         .arg(args[3]));
        std::printf("%s\n", qPrintable(rows));
        return 0;
    }
    if (args.size() == 4 && args[1] == QStringLiteral("sql")) {
        for (const QStringList& row : fixture::Select(args[2], args[3]))
            std::printf("%s\n", qPrintable(row.join(QLatin1Char(' '))));
        return 0;
    }
    std::fprintf(
        stderr,
        "usage: e2e_list create|studied FILE TABLE ROWS | counters FILE TABLE | sql FILE STATEMENT\n");
    return 2;
}
