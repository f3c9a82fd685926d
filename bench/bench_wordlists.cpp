// Full build of the twelve word lists: the whole ECDICT CSV (770,611 rows), the Tatoeba
// sentence pairs, WordNet, the TOEIC Service List and the IPA fallback, into a fresh
// folder and then twice over the lists just built (the carry-over path). Prints each
// run's wall time and the phases the builder reports.
//   bench_wordlists [ECDICT_CSV [WORDSOURCE_DIR]]
#include "Builder.h"
#include "Diagnostics.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace mnemora;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString ecdict =
        args.size() > 1 ? args[1] : QStringLiteral(MNEMORA_SOURCE_DIR "/.cache/ecdict.csv");
    QString source = args.size() > 2 ? args[2] : qEnvironmentVariable("MNEMORA_WORDSOURCE");
    if (source.isEmpty())
        source = QStringLiteral(MNEMORA_WORDSOURCE_DIR);
    if (!QFileInfo::exists(ecdict)) {
        std::fprintf(stderr, "bench_wordlists: %s not found (run scripts/fetch-dictionary.sh)\n",
                     qPrintable(ecdict));
        return 1;
    }

    BuildOptions options;
    options.ecdictPath = ecdict;
    if (QFileInfo::exists(QStringLiteral("/usr/share/wordnet/data.noun")))
        options.wordnetDir = QStringLiteral("/usr/share/wordnet");
    if (!source.isEmpty()) {
        options.sentencesPath = source + QStringLiteral("/tatoeba-cmn-eng/cmn.txt");
        options.ipaPath = source + QStringLiteral("/ipa-dict-en_US/en_US.txt");
        options.headwordFiles.insert(QStringLiteral("toeic"),
                                     source + QStringLiteral("/ngsl-tsl/TSL_1.2_stats.csv"));
    } else {
        std::printf("no MNEMORA_WORDSOURCE: ECDICT and WordNet only\n");
    }
    QTemporaryDir out;
    options.outDir = out.path();

    std::vector<double> seconds;
    for (int run = 0; run < 3; ++run) {
        QStringList phases;
        CDiagnostics diag([&](CDiagnostics::Kind kind, const QString& text) {
            if (kind == CDiagnostics::Kind::Progress && text.contains(u'(') && !text.contains(u'\n'))
                phases << text;
            if (kind == CDiagnostics::Kind::Error)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        QElapsedTimer timer;
        timer.start();
        if (!BuildWordLists(options, diag))
            return 1;
        seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        std::printf("run %d (%s): %.2f s\n", run + 1, run == 0 ? "fresh folder" : "rebuild over lists",
                    seconds.back());
        for (const QString& phase : phases)
            std::printf("    %s\n", qPrintable(phase));
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("full build of all twelve lists: best %.2f s, median %.2f s (target: at most 10 s)\n",
                seconds[0], seconds[1]);
    return 0;
}
