// Full-scale checks of the built word lists against the shared word sources. Runs only
// when MNEMORA_WORDSOURCE names that folder (CMake option or environment) and a full or
// trimmed ECDICT is at hand; otherwise it says so and skips.
#include "Builder.h"
#include "Diagnostics.h"
#include "FixtureDb.h"
#include "store/WordCatalogue.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

namespace {

QString WordSource() {
    const QString fromEnv = qEnvironmentVariable("MNEMORA_WORDSOURCE");
    return fromEnv.isEmpty() ? QStringLiteral(MNEMORA_WORDSOURCE_DIR) : fromEnv;
}

QSet<QString> Lines(const QString& path) {
    QSet<QString> lines;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.trimmed().isEmpty())
                lines.insert(QString::fromUtf8(line.trimmed()));
        }
    }
    return lines;
}

} // namespace

class TestWordListsData : public QObject {
    Q_OBJECT

    QTemporaryDir out_;
    QString source_;
    QHash<QString, ListSummary> lists_;

    QString FileOf(const QString& table) const {
        for (const CatalogueEntry& entry : kCatalogue) {
            if (table == QLatin1String(entry.table))
                return out_.filePath(QLatin1String(entry.file));
        }
        return {};
    }

private slots:
    void initTestCase() {
        source_ = WordSource();
        if (source_.isEmpty() || !QFileInfo(source_).isDir())
            QSKIP("MNEMORA_WORDSOURCE is not set to the word-source folder: full-scale data checks skipped");
        BuildOptions options;
        options.ecdictPath = QStringLiteral(MNEMORA_SOURCE_DIR "/.cache/ecdict.csv");
        if (!QFileInfo::exists(options.ecdictPath))
            options.ecdictPath = source_ + QStringLiteral("/ecdict/ecdict_subset.csv");
        if (!QFileInfo::exists(options.ecdictPath))
            QSKIP("no ECDICT (run scripts/fetch-dictionary.sh): full-scale data checks skipped");
        options.sentencesPath = source_ + QStringLiteral("/tatoeba-cmn-eng/cmn.txt");
        options.ipaPath = source_ + QStringLiteral("/ipa-dict-en_US/en_US.txt");
        options.headwordFiles.insert(QStringLiteral("toeic"),
                                     source_ + QStringLiteral("/ngsl-tsl/TSL_1.2_stats.csv"));
        if (QFileInfo::exists(QStringLiteral("/usr/share/wordnet/data.noun")))
            options.wordnetDir = QStringLiteral("/usr/share/wordnet");
        else
            options.wordnetTablePath = source_ + QStringLiteral("/wordnet-examples/wordnet30_examples.tsv");
        QVERIFY(out_.isValid());
        options.outDir = out_.path();
        qInfo("building from %s", qPrintable(options.ecdictPath));
        QStringList problems;
        CDiagnostics diag([&](CDiagnostics::Kind kind, const QString& text) {
            if (kind == CDiagnostics::Kind::Error)
                problems << text;
        });
        QList<ListSummary> summary;
        QVERIFY2(BuildWordLists(options, diag, &summary), qPrintable(problems.join(u'\n')));
        qInfo("\n%s", qPrintable(SummaryTable(summary)));
        for (const ListSummary& list : summary)
            lists_.insert(list.table, list);
    }

    void everyListHasWordsIpaAndMeanings() {
        QCOMPARE(lists_.size(), 12);
        for (const ListSummary& list : std::as_const(lists_)) {
            QVERIFY2(list.words > 0, qPrintable(list.table));
            QVERIFY2(list.withIpa >= 0.97 * list.words, qPrintable(list.table));
            const QString file = FileOf(list.table);
            const QString sql =
                QStringLiteral("SELECT count(*) FROM %1 WHERE word IS NULL OR word = '' OR "
                               "wordChn IS NULL OR wordChn = '' OR showTimes <> 0 OR toShowTime <> 0")
                    .arg(list.table);
            QCOMPARE(fixture::Query(file, sql), QStringLiteral("0"));
            QCOMPARE(fixture::Query(file, QStringLiteral("SELECT max(\"index\") FROM %1").arg(list.table)),
                     QString::number(list.words));
        }
    }

    void cet4MeetsTheCoverageTargets() {
        const ListSummary cet4 = lists_.value(QStringLiteral("cet4"));
        QVERIFY2(cet4.words >= 3800, qPrintable(QString::number(cet4.words)));
        QVERIFY2(cet4.withBilingual >= 0.65 * cet4.words, qPrintable(QString::number(cet4.withBilingual)));
        QVERIFY2(cet4.withSentence >= 0.85 * cet4.words, qPrintable(QString::number(cet4.withSentence)));
    }

    void substituteListsFollowTheDocumentedRule_data() {
        QTest::addColumn<QString>("table");
        for (const char* table : {"nce1", "nce2", "nce3", "nce4", "tem4", "tem8"})
            QTest::newRow(table) << QString::fromLatin1(table);
    }
    void substituteListsFollowTheDocumentedRule() {
        QFETCH(QString, table);
        const QString reference =
            source_ + QStringLiteral("/derived-substitutes-ecdict/%1_substitute.txt").arg(table);
        if (!QFileInfo::exists(reference))
            QSKIP("no derived substitute file to compare with");
        const QString all = fixture::Query(
            FileOf(table), QStringLiteral("SELECT group_concat(word, char(10)) FROM %1").arg(table));
        const QStringList list = all.split(u'\n');
        const QSet<QString> words(list.begin(), list.end());
        QCOMPARE(words, Lines(reference));
    }
};

QTEST_GUILESS_MAIN(TestWordListsData)
#include "test_wordlists_data.moc"
