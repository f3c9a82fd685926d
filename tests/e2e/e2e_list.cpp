// Helper of the desktop tests: makes a small encrypted word list and reads its counters
// back, without going through the code under test.
//   e2e_list create FILE TABLE ROWS     rows word1..wordN with sentences, counters 0
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
    if (args.size() == 4 && (args[1] == QStringLiteral("counters") || args[1] == QStringLiteral("sql"))) {
        const QString sql =
            args[1] == QStringLiteral("sql")
                ? args[3]
                : QStringLiteral("SELECT \"index\", showTimes, toShowTime FROM %1").arg(args[3]);
        for (const QStringList& row : fixture::Select(args[2], sql))
            std::printf("%s\n", qPrintable(row.join(QLatin1Char(' '))));
        return 0;
    }
    std::fprintf(stderr,
                 "usage: e2e_list create FILE TABLE ROWS | counters FILE TABLE | sql FILE STATEMENT\n");
    return 2;
}
