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
    if (args.size() == 5 && args[1] == u"create")
        return fixture::WriteTable(args[2], args[3], fixture::GeneratedRows(args[4].toInt())) ? 0 : 1;
    if (args.size() == 4 && (args[1] == u"counters" || args[1] == u"sql")) {
        const QString sql =
            args[1] == u"sql" ? args[3] : "SELECT \"index\", showTimes, toShowTime FROM " + args[3];
        for (const QStringList& row : fixture::Select(args[2], sql))
            std::printf("%s\n", qPrintable(row.join(u' ')));
        return 0;
    }
    std::fputs("usage: e2e_list create FILE TABLE ROWS | counters FILE TABLE | sql FILE STATEMENT\n", stderr);
    return 2;
}
