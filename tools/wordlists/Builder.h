#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace mnemora {

class CDiagnostics;

struct BuildOptions {
    QString ecdictPath;                   // required
    QString sentencesPath;                // Tatoeba pairs, optional
    QString wordnetDir;                   // WordNet data folder, optional
    QString wordnetTablePath;             // WordNet examples table, optional
    QString ipaPath;                      // IPA dictionary, optional
    QMap<QString, QString> headwordFiles; // table → headword file replacing its membership
    bool keepHeadwordOrder = false;       // keep a headword file's order instead of frequency order
    QString outDir;
    // How long to wait for a running trainer that holds outDir's lock (0: refuse at once).
    int lockWaitMs = 0;
};

struct ListSummary {
    QString table;
    int words = 0;
    int withIpa = 0;
    int withSentence = 0;     // at least one example sentence
    int withTwoSentences = 0; // two example sentences
    int withBilingual = 0;    // at least one sentence with a Chinese translation
    int carried = 0;          // words whose study progress came over from the old file
};

// Builds the twelve word lists into options.outDir, with a credits file beside them.
// Every input is read and every list built before the folder is touched; each file is
// written under a temporary name and renamed over the old one only when all of them are
// complete, so a failed build leaves the old files as they were. Study counters of words
// already in the old files are carried over.
bool BuildWordLists(const BuildOptions& options, CDiagnostics& diag, QList<ListSummary>* summary = nullptr);

// The per-list table printed at the end of a build.
QString SummaryTable(const QList<ListSummary>& lists);

} // namespace mnemora
