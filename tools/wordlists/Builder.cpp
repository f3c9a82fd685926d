#include "Builder.h"

#include "Credits.h"
#include "Diagnostics.h"
#include "Ecdict.h"
#include "HeadwordFile.h"
#include "ListOutput.h"
#include "ListRules.h"
#include "Phonetic.h"
#include "RowMaker.h"
#include "SentenceCorpus.h"
#include "SentenceSources.h"
#include "Simplifier.h"
#include "store/WordCatalogue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

namespace mnemora {
namespace {

// The word store addresses rows by a 16-bit index.
constexpr int kMaxRows = 32767;

QString Count(qint64 n) {
    return QLocale(QLocale::English).toString(n);
}
QString Seconds(const QElapsedTimer& timer) {
    return QString::number(timer.elapsed() / 1000.0, 'f', 2) + u's';
}

struct Inputs {
    CEcdict ecdict;
    CSimplifier simplifier;
    CIpaDictionary ipa;
    CSentenceCorpus corpus;
    QMap<QString, QList<Headword>> headwords;
};

bool LoadInputs(const BuildOptions& options, Inputs& in, CDiagnostics& diag) {
    QElapsedTimer timer;
    timer.start();
    if (!in.ecdict.Load(options.ecdictPath, diag))
        return false;
    diag.Progress(
        QStringLiteral("ECDICT: %1 rows from %2 (%3)")
            .arg(Count(static_cast<qint64>(in.ecdict.Entries().size())), options.ecdictPath, Seconds(timer)));
    for (auto it = options.headwordFiles.cbegin(); it != options.headwordFiles.cend(); ++it) {
        if (FindListRule(it.key()) == nullptr) {
            diag.Error(QStringLiteral("no word list is called \"%1\"").arg(it.key()));
            return false;
        }
        if (!LoadHeadwordFile(it.value(), diag, in.headwords[it.key()]))
            return false;
        RecoverLostLetters(in.ecdict, it.value(), diag, in.headwords[it.key()]);
        diag.Progress(QStringLiteral("headwords for %1: %2 from %3")
                          .arg(it.key(), Count(in.headwords[it.key()].size()), it.value()));
    }
    if (!options.ipaPath.isEmpty()) {
        if (!in.ipa.Load(options.ipaPath, diag))
            return false;
        diag.Progress(QStringLiteral("IPA dictionary: %1").arg(options.ipaPath));
    }
    QString error;
    if (!in.simplifier.Open(error)) {
        // Sentence sources mix both scripts; ECDICT's meanings are Simplified but for a few glyphs.
        if (!options.sentencesPath.isEmpty()) {
            diag.Error(error);
            return false;
        }
        diag.Warning(QString(), 0, error + QStringLiteral("; meanings are written as ECDICT has them"));
    }
    if (!options.sentencesPath.isEmpty()) {
        timer.restart();
        if (!LoadTatoeba(options.sentencesPath, in.simplifier, in.corpus, diag))
            return false;
        diag.Progress(QStringLiteral("sentence pairs: %1 English sentences from %2 (%3)")
                          .arg(Count(in.corpus.Size()), options.sentencesPath, Seconds(timer)));
    }
    const int before = in.corpus.Size();
    timer.restart();
    if (!options.wordnetDir.isEmpty() && !LoadWordNetDir(options.wordnetDir, in.corpus, diag))
        return false;
    if (!options.wordnetTablePath.isEmpty() && !LoadWordNetTable(options.wordnetTablePath, in.corpus, diag))
        return false;
    if (in.corpus.Size() > before)
        diag.Progress(QStringLiteral("WordNet: %1 English-only examples (%2)")
                          .arg(Count(in.corpus.Size() - before), Seconds(timer)));
    return true;
}

bool BuildLists(const BuildOptions& options, Inputs& in, CRowMaker& maker, std::vector<BuiltList>& lists,
                CDiagnostics& diag) {
    for (const CatalogueEntry& entry : kCatalogue) {
        const QString table = QLatin1String(entry.table);
        const QString file = options.headwordFiles.value(table);
        std::vector<ListMember> members;
        if (file.isEmpty()) {
            members = MembersByRule(in.ecdict, *FindListRule(table));
        } else {
            members = ResolveHeadwords(in.ecdict, in.headwords.value(table), file, diag);
            if (!options.keepHeadwordOrder)
                SortByFrequency(in.ecdict, members);
        }
        BuiltList list{&entry, {table, {}}, {}};
        list.summary.table = table;
        QStringList noMeaning;
        for (const ListMember& member : members) {
            WordRow row;
            if (!maker.Make(member, row)) {
                noMeaning << member.word;
                continue;
            }
            ListSummary& s = list.summary;
            s.withIpa += row.pronounce.isEmpty() ? 0 : 1;
            s.withSentence += row.sentence1.isEmpty() ? 0 : 1;
            s.withTwoSentences += row.sentence2.isEmpty() ? 0 : 1;
            s.withBilingual += row.sentence1Chn.isEmpty() && row.sentence2Chn.isEmpty() ? 0 : 1;
            list.rows.rows.push_back(std::move(row));
        }
        list.summary.words = static_cast<int>(list.rows.rows.size());
        if (!noMeaning.isEmpty())
            diag.Warning(QString(), 0,
                         QStringLiteral("%1: left out %2 word(s) without a Chinese meaning: %3")
                             .arg(table)
                             .arg(noMeaning.size())
                             .arg(noMeaning.mid(0, 10).join(QStringLiteral(", "))));
        if (list.summary.words == 0) {
            diag.Error(file, 0, QStringLiteral("the list %1 would be empty").arg(table));
            return false;
        }
        if (list.summary.words > kMaxRows) {
            diag.Error(file, 0,
                       QStringLiteral("the list %1 has %2 words; at most %3 fit")
                           .arg(table, Count(list.summary.words), Count(kMaxRows)));
            return false;
        }
        diag.Progress(QStringLiteral("%1: %2 words").arg(table, Count(list.summary.words)));
        lists.push_back(std::move(list));
    }
    return true;
}

} // namespace

bool BuildWordLists(const BuildOptions& options, CDiagnostics& diag, QList<ListSummary>* summary) {
    QElapsedTimer total;
    total.start();
    Inputs in;
    if (!LoadInputs(options, in, diag))
        return false;

    QElapsedTimer timer;
    timer.start();
    CRowMaker maker(in.ecdict, in.ipa, in.corpus, in.simplifier);
    std::vector<BuiltList> lists;
    if (!BuildLists(options, in, maker, lists, diag))
        return false;
    diag.Progress(QStringLiteral("lists built (%1)").arg(Seconds(timer)));

    CreditsInput credits;
    credits.ecdictPath = options.ecdictPath;
    credits.ipaDictionary = !options.ipaPath.isEmpty();
    credits.wordNet = !options.wordnetDir.isEmpty() || !options.wordnetTablePath.isEmpty();
    credits.headwordFiles = options.headwordFiles;
    credits.tatoebaSentences = maker.UsedTatoebaSentences();
    for (const BuiltList& list : lists) {
        const ListRule* rule = FindListRule(list.rows.table);
        if (rule->approximation && !options.headwordFiles.contains(list.rows.table))
            credits.approximations << list.rows.table + QStringLiteral(": ") +
                                          QString::fromUtf8(rule->description);
    }

    timer.restart();
    if (!WriteListFolder(options.outDir, lists, CreditsText(credits, in.corpus), options.lockWaitMs, diag))
        return false;
    diag.Progress(QStringLiteral("written to %1 (%2); total %3")
                      .arg(QDir(options.outDir).absolutePath(), Seconds(timer), Seconds(total)));

    QList<ListSummary> result;
    for (const BuiltList& list : lists)
        result << list.summary;
    diag.Progress(SummaryTable(result));
    if (summary != nullptr)
        *summary = result;
    return true;
}

QString SummaryTable(const QList<ListSummary>& lists) {
    auto percent = [](int part, int whole) {
        return whole == 0 ? QStringLiteral("-") : QString::number(100.0 * part / whole, 'f', 1) + u'%';
    };
    QString text = QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                       .arg(QStringLiteral("list"), -6)
                       .arg(QStringLiteral("words"), 7)
                       .arg(QStringLiteral("IPA"), 7)
                       .arg(QStringLiteral(">=1 sentence"), 13)
                       .arg(QStringLiteral(">=2 sentences"), 14)
                       .arg(QStringLiteral("bilingual"), 10)
                       .arg(QStringLiteral("progress kept"), 14);
    for (const ListSummary& s : lists)
        text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                    .arg(s.table, -6)
                    .arg(Count(s.words), 7)
                    .arg(percent(s.withIpa, s.words), 7)
                    .arg(percent(s.withSentence, s.words), 13)
                    .arg(percent(s.withTwoSentences, s.words), 14)
                    .arg(percent(s.withBilingual, s.words), 10)
                    .arg(Count(s.carried), 14);
    text.chop(1);
    return text;
}

} // namespace mnemora
