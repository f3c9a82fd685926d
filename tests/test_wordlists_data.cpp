// Full-scale checks of the built word lists against the shared word sources. Runs only
// when MNEMORA_WORDSOURCE names that folder (CMake option or environment) and a full or
// trimmed ECDICT is at hand; otherwise it says so and skips.
#include "Builder.h"
#include "Diagnostics.h"
#include "FixtureDb.h"
#include "TestData.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestWordListsData : public QObject {
    Q_OBJECT

    QTemporaryDir out_;
    QString source_;
    QHash<QString, ListSummary> lists_;

    QString FileOf(const QString& table) const {
        return out_.filePath((table.startsWith(u"nce") ? QStringLiteral("nce") : table) +
                             QStringLiteral(".dat"));
    }

private slots:
    void initTestCase() {
        source_ = qEnvironmentVariable("MNEMORA_WORDSOURCE", QStringLiteral(MNEMORA_WORDSOURCE_DIR));
        if (source_.isEmpty() || !QFileInfo(source_).isDir())
            QSKIP("MNEMORA_WORDSOURCE is not set to the word-source folder: full-scale data checks skipped");
        BuildOptions options;
        options.ecdictPath = QStringLiteral(MNEMORA_SOURCE_DIR "/.cache/ecdict.csv");
        if (!QFileInfo::exists(options.ecdictPath))
            options.ecdictPath = source_ + "/ecdict/ecdict_subset.csv";
        if (!QFileInfo::exists(options.ecdictPath))
            QSKIP("no ECDICT (run scripts/fetch-dictionary.sh): full-scale data checks skipped");
        options.sentencesPath = source_ + "/tatoeba-cmn-eng/cmn.txt";
        options.ipaPath = source_ + "/ipa-dict-en_US/en_US.txt";
        options.headwordFiles.insert("toeic", source_ + "/ngsl-tsl/TSL_1.2_stats.csv");
        if (QFileInfo::exists("/usr/share/wordnet/data.noun"))
            options.wordnetDir = "/usr/share/wordnet";
        else
            options.wordnetTablePath = source_ + "/wordnet-examples/wordnet30_examples.tsv";
        QVERIFY(out_.isValid());
        options.outDir = out_.path();
        QStringList problems;
        CDiagnostics diag([&](CDiagnostics::Kind kind, const QString& text) {
            if (kind == CDiagnostics::Kind::Error)
                problems << text;
        });
        QList<ListSummary> summary;
        QVERIFY2(BuildWordLists(options, diag, &summary), qPrintable(problems.join(u'\n')));
        qInfo("built from %s\n%s", qPrintable(options.ecdictPath), qPrintable(SummaryTable(summary)));
        for (const ListSummary& list : summary)
            lists_.insert(list.table, list);
    }

    void everyListHasWordsIpaAndMeanings() {
        QCOMPARE(lists_.size(), 12);
        for (const ListSummary& list : std::as_const(lists_)) {
            QVERIFY2(list.words > 0 && list.withIpa >= 0.97 * list.words, qPrintable(list.table));
            // Rows numbered from 1, each with a word and a meaning, none studied yet.
            const QString sql = "SELECT sum(word IS NULL OR word = '' OR wordChn IS NULL OR wordChn = '' OR "
                                "showTimes <> 0 OR toShowTime <> 0) || ' ' || max(\"index\") FROM " +
                                list.table;
            QCOMPARE(fixture::Query(FileOf(list.table), sql), "0 " + QString::number(list.words));
        }
    }

    void cet4MeetsTheCoverageTargets() {
        const ListSummary cet4 = lists_.value(QStringLiteral("cet4"));
        QVERIFY2(cet4.words >= 3800 && cet4.withBilingual >= 0.65 * cet4.words &&
                     cet4.withSentence >= 0.85 * cet4.words,
                 qPrintable(QString::asprintf("%d words, %d bilingual, %d with a sentence", cet4.words,
                                              cet4.withBilingual, cet4.withSentence)));
    }

    void substituteListsFollowTheDocumentedRule() {
        for (const QString table : {"nce1", "nce2", "nce3", "nce4", "tem4", "tem8"}) {
            const QString reference = source_ + "/derived-substitutes-ecdict/" + table + "_substitute.txt";
            if (!QFileInfo::exists(reference))
                QSKIP("no derived substitute file to compare with");
            const QStringList words =
                fixture::Query(FileOf(table), "SELECT group_concat(word, char(10)) FROM " + table)
                    .split(u'\n');
            QSet<QString> expected;
            for (const QByteArray& line : testdata::ReadFile(reference).split('\n'))
                expected << QString::fromUtf8(line.trimmed());
            expected.remove(QString());
            QVERIFY2(QSet<QString>(words.begin(), words.end()) == expected, qPrintable(table));
        }
    }
};

QTEST_GUILESS_MAIN(TestWordListsData)
#include "test_wordlists_data.moc"
