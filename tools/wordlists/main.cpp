// The word-list builder: reads open dictionary data and writes the twelve encrypted
// word lists the trainer reads, with a credits file beside them.
#include "Builder.h"
#include "Diagnostics.h"
#include "ListRules.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

using namespace mnemora;

namespace {

constexpr char kDefaultWordNet[] = "/usr/share/wordnet";

int Usage(const QString& message) {
    std::fprintf(stderr, "wordlists: %s\nTry 'wordlists --help'.\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wordlists"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Builds the twelve Mnemora word lists (cet4.dat ... tem8.dat, nce.dat) and CREDITS.txt into --out."));
    parser.addHelpOption();
    const QCommandLineOption ecdict(QStringLiteral("ecdict"), QStringLiteral("ECDICT CSV file (required)."),
                                    QStringLiteral("file"));
    const QCommandLineOption sentences(QStringLiteral("sentences"),
                                       QStringLiteral("English-Chinese sentence pairs, Tatoeba format: "
                                                      "English<TAB>Chinese<TAB>attribution."),
                                       QStringLiteral("file"));
    const QCommandLineOption wordnet(QStringLiteral("wordnet"),
                                     QStringLiteral("WordNet data folder for English-only examples "
                                                    "(default %1 when present).")
                                         .arg(QLatin1String(kDefaultWordNet)),
                                     QStringLiteral("dir"));
    const QCommandLineOption wordnetTable(
        QStringLiteral("wordnet-examples"),
        QStringLiteral("WordNet examples as a table: synset_offset<TAB>pos<TAB>lemmas<TAB>example."),
        QStringLiteral("file"));
    const QCommandLineOption noWordnet(QStringLiteral("no-wordnet"),
                                       QStringLiteral("Do not use the default WordNet folder."));
    const QCommandLineOption ipa(QStringLiteral("ipa"),
                                 QStringLiteral("IPA dictionary (word<TAB>/ipa/) for words ECDICT has no "
                                                "phonetic for."),
                                 QStringLiteral("file"));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("Headword file replacing a list's words: one word per line, or a "
                       "CSV file whose first column is the word. NAME is cet4, cet6, "
                       "ielts, toefl, gre, toeic, tem4, tem8 or nce1..nce4. Repeatable."),
        QStringLiteral("name=file"));
    const QCommandLineOption keepOrder(
        QStringLiteral("keep-order"),
        QStringLiteral("Keep the order of headword files (default: most frequent "
                       "first)."));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("Output folder (created when missing)."),
                                 QStringLiteral("dir"));
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("When Mnemora is studying from --out, wait up to this many "
                                                 "seconds for it to end (default: refuse at once)."),
                                  QStringLiteral("seconds"));
    parser.addOptions({ecdict, sentences, wordnet, wordnetTable, noWordnet, ipa, list, keepOrder, out, wait});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty())
        return Usage(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));
    if (!parser.isSet(ecdict))
        return Usage(QStringLiteral("--ecdict is required"));
    if (!parser.isSet(out))
        return Usage(QStringLiteral("--out is required"));

    BuildOptions options;
    options.ecdictPath = parser.value(ecdict);
    options.sentencesPath = parser.value(sentences);
    options.wordnetTablePath = parser.value(wordnetTable);
    options.ipaPath = parser.value(ipa);
    options.outDir = parser.value(out);
    options.keepHeadwordOrder = parser.isSet(keepOrder);
    if (parser.isSet(wait)) {
        bool ok = false;
        const int seconds = parser.value(wait).toInt(&ok);
        if (!ok || seconds < 0 || seconds > 86400)
            return Usage(
                QStringLiteral("--wait expects 0..86400 seconds, got \"%1\"").arg(parser.value(wait)));
        options.lockWaitMs = seconds * 1000;
    }
    if (parser.isSet(wordnet))
        options.wordnetDir = parser.value(wordnet);
    else if (!parser.isSet(noWordnet) && options.wordnetTablePath.isEmpty() &&
             QFileInfo(QLatin1String(kDefaultWordNet)).isDir())
        options.wordnetDir = QLatin1String(kDefaultWordNet);
    for (const QString& value : parser.values(list)) {
        const qsizetype equals = value.indexOf(u'=');
        const QString name = value.left(equals);
        if (equals <= 0 || equals + 1 == value.size())
            return Usage(QStringLiteral("--list expects NAME=FILE, got \"%1\"").arg(value));
        if (FindListRule(name) == nullptr)
            return Usage(QStringLiteral("--list: no word list is called \"%1\"").arg(name));
        if (options.headwordFiles.contains(name))
            return Usage(QStringLiteral("--list: %1 is given twice").arg(name));
        options.headwordFiles.insert(name, value.mid(equals + 1));
    }

    CDiagnostics diag;
    if (!BuildWordLists(options, diag)) {
        std::fprintf(stderr, "wordlists: build failed; the files in %s were not changed\n",
                     qPrintable(options.outDir));
        return 1;
    }
    return 0;
}
