// The word-list builder end to end on a dozen-row dictionary and a few sentence pairs written here
// (membership, order, rows, sentences, credits, carry-over, atomic replacement, bad inputs), then its
// text rules on their own (IPA, meanings, tokens, the CSV reader, UTF-8 checking).
#include "Builder.h"
#include "CsvReader.h"
#include "Diagnostics.h"
#include "FixtureDb.h"
#include "InputFile.h"
#include "Meaning.h"
#include "Phonetic.h"
#include "RecordingMessageBox.h"
#include "SentenceSources.h"
#include "TestData.h"
#include "Tokenizer.h"
#include "store/WordStore.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace mnemora;

namespace {

// ranks: leave 150 < start 200 < art 346 < left 771 < accident 900 < leaf 1800 < abandon 2182
//        < tackle 3000 < penny 3500 < zebra 6000 < bill 8026 < quay 9500; accidents, box, boxes unranked.
const char kEcdict[] =
    R"(word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio
abandon,ә'bændәn,,"vt. 放弃, 抛弃, 遗弃, 使屈从\nn. 放任, 无拘束, 狂热\n[计] 放弃",,,,cet4 cet6,2057,2182,d:abandoned/p:abandoned/i:abandoning/3:abandons,,
art,ɑ:t,,"n. 艺术, 人文科学, 技术, 巧妙",,,,zk cet4,477,346,s:arts,,
start,stɑ:t,,"v. 开始, 出发\nn. 开始",,,,zk,300,200,d:started/p:started/i:starting/3:starts/s:starts,,
leave,li:v,,"vt. 离开, 剩下\nn. 许可, 休假, 员工假期",,,,zk,127,150,d:left/p:left/i:leaving/3:leaves/s:leaves,,
left,left,,"a. 左边的, 左侧的\nleave的过去式和过去分词",,,,zk cet4,1045,771,0:leave/1:dp/d:left/p:left,,
leaf,li:f,,"n. 叶, 树叶",,,,zk,2000,1800,s:leaves,,
bill,bil,,"n. 帐单, 钞票",,,,gk cet4,837,8026,s:bills,,
penny,'peni,,n. 便士,,,,gk cet4,3000,3500,s:pennies,,
accidents,,,n. 意外,,,,ielts,0,0,0:accident/1:s,,
accident,'æksidәnt,,"n. 事故, 意外",,,,gk cet4 ielts,1000,900,s:accidents,,
boxes,,,n. 盒子,,,,ielts,0,0,0:box/1:s,,
box,bɒks,,n. 盒子,,,,ielts,0,0,s:boxes,,
tackle,'tækl,,"vt. 处理, 解决",,,,cet6 ky,3100,3000,d:tackled,,
quay,,,n. 码头,,,,toefl,9000,9500,,,
zebra,'zi:brә,,n. 斑马,,,,gre,5000,6000,s:zebras,,
café,kæ'fei,,n. 咖啡馆,,,,,0,0,,,
)";

const char kPairs[] =
    "She has studied art in Paris for many years now.\t她在巴黎学了很多年艺术。\tCC-BY #1 (ann) & #2 (bo)\n"
    "I like art.\t我喜歡藝術。\tCC-BY #3 (cy)\n"
    "I like art.\t我爱艺术。\tCC-BY #4 (di)\n"
    "Art.\t艺术。\tCC-BY #5 (ed)\n"
    "Art is long and life is short, as the old saying goes, so we should keep on learning something new "
    "every single day.\t艺术长久，人生短暂。\tCC-BY #6 (fay)\n"
    "We will start the long meeting at nine tomorrow.\t我們明天九點開始開會。\tCC-BY #7 (gus)\n"
    "He left the room early this morning.\t他今天早上很早就离开了房间。\tCC-BY #8 (hal)\n"
    "The leaves turn red and yellow in autumn.\t秋天树叶变红变黄。\tCC-BY #9 (ivy)\n"
    "I met Bill at the station yesterday.\t我昨天在车站碰见了比尔。\tCC-BY #10 (jo)\n"
    "Can I have the bill, please?\t请给我账单好吗？\tCC-BY #11 (kim)\n"
    "A penny-pincher never buys anyone a drink.\t守财奴从不请人喝酒。\tCC-BY #12 (lu)\n"
    "They abandoned the old car by the road.\t他们把旧车丢在路边。\tCC-BY #13 (mo)\n"
    "Never abandon your friends when times are hard.\t困难时永远不要抛弃朋友。\tCC-BY #14 (ned)\n"
    "Tackle the problem with care and patience.\t\tCC-BY #15 (oz)\n";

const char kWordNet[] = "synset_offset\tpos\tlemmas\texample\n"
                        "02391049\tn\tzebra\tthe zebra ran across the dusty plain\n"
                        "00000001\tv\tabandon|give up\tabandon the ship at once\n";

const char kIpa[] = "quay\t/ˈki/\nzebra\t/ˈzibɹə/\n";

using testdata::Sha256;
using testdata::WriteFile;

// A table's rows in index order as the expression (the word by default), separated by blanks.
QString Words(const QString& path, const QString& table, const QString& row = QStringLiteral("word")) {
    return fixture::Query(path, "SELECT group_concat(" + row + ", ' ') FROM " + table);
}

// Columns of a word's row, joined by '|'.
QString RowOf(const QString& path, const QString& table, const QString& word, const QString& columns) {
    return fixture::Select(path, "SELECT " + columns + " FROM " + table + " WHERE word = '" + word + "'")
        .value(0)
        .join(u'|');
}

// Every file of a folder with its hash.
QMap<QString, QByteArray> Files(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        files.insert(name, Sha256(folder + u'/' + name));
    return files;
}

} // namespace

class TestWordListsBuild : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList messages_;

    QString Path(const QString& name) const { return dir_.filePath(name); }
    // The file of a table in the first build (the four NCE tables share one).
    QString List(const QString& table) const {
        return Path("db/" + (table.startsWith(u"nce") ? QStringLiteral("nce") : table) + ".dat");
    }

    BuildOptions Options(const QString& out) const {
        return {Path("src/ecdict.csv"), Path("src/pairs.txt"),    QString(), Path("src/wordnet.tsv"),
                Path("src/ipa.txt"),    QMap<QString, QString>(), false,     Path(out)};
    }

    bool Build(const BuildOptions& options) {
        messages_.clear();
        CDiagnostics diag([this](CDiagnostics::Kind, const QString& text) { messages_ << text; });
        return BuildWordLists(options, diag);
    }

    bool Said(const QString& fragment) const { return Log().contains(fragment); }
    QString Log() const { return messages_.join(u'\n'); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(WriteFile(Path("src/ecdict.csv"), kEcdict) && WriteFile(Path("src/pairs.txt"), kPairs) &&
                WriteFile(Path("src/wordnet.tsv"), kWordNet) && WriteFile(Path("src/ipa.txt"), kIpa));
        QVERIFY2(Build(Options("db")), qPrintable(Log()));
    }

    void membershipAndOrder() {
        for (const auto& [why, table, words] : testdata::StringRows{
                 {"tag, most frequent first", "cet4", "art left accident abandon penny bill"},
                 {"plural rows (-s, -es) fold into their lemmas", "ielts", "accident box"},
                 {"band 1, no inflected rows", "nce1", "leave start art leaf"},
                 {"band 4", "nce4", "tackle"},
                 {"business stand-in, no band-1 word (leave)", "toeic", "bill"},
                 {"all bands", "tem8", "leave start art accident leaf abandon tackle penny zebra bill quay"},
             })
            QCOMPARE(Words(List(table), table), QString::fromUtf8(words));
    }

    // Sentences and their credits, and a phonetic missing in ECDICT from the IPA dictionary (where ECDICT has
    // one, it wins).
    void sentencesAndPhonetics() { // table and word; sentence1|chinese1|sentence2|chinese2
        for (const auto& [why, list, sentences] : testdata::StringRows{
                 {"length rank; Simplified translation preferred; one-word sentence unused", "cet4 art",
                  "She has studied art in Paris for many years now.|她在巴黎学了很多年艺术。|I like "
                  "art.|我爱艺术。"},
                 {"bare headword before inflection", "cet4 abandon",
                  "Never abandon your friends when times are hard.|困难时永远不要抛弃朋友。|"
                  "They abandoned the old car by the road.|他们把旧车丢在路边。"},
                 {"inflection match; leaves is also leaf's", "nce1 leave",
                  "He left the room early this morning.|他今天早上很早就离开了房间。||"},
                 {"wrong sense: left is leave's past", "cet4 left", "|||"},
                 {"capitalised name skipped", "cet4 bill", "Can I have the bill, please?|请给我账单好吗？||"},
                 {"whole word only", "cet4 penny", "|||"},
                 {"traditional converted", "nce1 start",
                  "We will start the long meeting at nine tomorrow.|我们明天九点开始开会。||"},
                 {"pair without Chinese", "nce4 tackle", "Tackle the problem with care and patience.|||"},
                 {"WordNet fallback", "gre zebra", "The zebra ran across the dusty plain.|||"},
             }) {
            const QStringList key = QString::fromUtf8(list).split(u' ');
            QCOMPARE(RowOf(List(key[0]), key[0], key[1], "sentence1, sentence1Chn, sentence2, sentence2Chn"),
                     QString::fromUtf8(sentences));
        }
        QCOMPARE(RowOf(List("tem8"), "tem8", "quay", "pronounce"), "ˈki");
        QCOMPARE(RowOf(List("gre"), "gre", "zebra", "pronounce"), "ˈziːbrə");
        // The credits name the sentences used: the English-only one too, not #5.
        const QString credits = QString::fromUtf8(testdata::ReadFile(Path("db/CREDITS.txt")));
        for (const char* part : {"- tem4: stand-in", "CC-BY #1 (ann) & #2 (bo)", "CC-BY #15 (oz)"})
            QVERIFY2(credits.contains(QString::fromUtf8(part)), part);
        QVERIFY(!credits.contains("#5 (ed)"));
    }

    // Headword files replace a list's membership: found regardless of case and spelt as the file
    // spells it; a file that is not UTF-8 is read as Windows-1252; a headword that lost a letter
    // is restored from the dictionary (accented or not, "bill"), else left out.
    void headwordFilesReplaceMembership() {
        QVERIFY(WriteFile(Path("src/tsl.csv"), "Word,TSL Rank\nbill,1\nzzyzx,2\nART,3\nbill,4\n") &&
                WriteFile(Path("src/cp1252.txt"), "art\ncaf\xe9\n") &&
                WriteFile(Path("src/lost.txt"), "art\ncaf\xef\xbf\xbd\nbi\xef\xbf\xbdl\nzz\xef\xbf\xbd\n"));
        BuildOptions options = Options("headwords");
        options.headwordFiles = {
            {"toeic", Path("src/tsl.csv")}, {"cet4", Path("src/cp1252.txt")}, {"cet6", Path("src/lost.txt")}};
        QVERIFY2(Build(options), qPrintable(Log()));
        QVERIFY2(
            Said(Path("src/tsl.csv:3: \"zzyzx\" is not in ECDICT; skipped")) &&
                Said(Path("src/lost.txt:4: \"zz\uFFFD\" has a lost letter that no dictionary word restores")),
            qPrintable(Log()));
        // Most frequent first, unranked last.
        QCOMPARE(Words(Path("headwords/toeic.dat"), "toeic"), "ART bill");
        QCOMPARE(Words(Path("headwords/cet4.dat"), "cet4"), "art café");
        QCOMPARE(Words(Path("headwords/cet6.dat"), "cet6"), "art bill café");
        QVERIFY(testdata::ReadFile(Path("headwords/CREDITS.txt")).contains("CC BY-SA 4.0"));
    }

    // A failed build leaves the old files as they were; a good one carries progress over.
    void rebuildsOverOldLists() {
        QVERIFY(Build(Options("re")));
        const QMap<QString, QByteArray> files = Files(Path("re"));
        // tem4.dat's temporary name is taken by a folder: writing fails after cet4..toeic are done.
        const QString blocker =
            Path("re/tem4.dat.tmp-" + QString::number(QCoreApplication::applicationPid()));
        QVERIFY(QDir().mkpath(blocker));
        QVERIFY(!Build(Options("re")) && Said(blocker));
        QVERIFY(QDir().rmdir(blocker));
        QCOMPARE(Files(Path("re")), files);

        // A running trainer of an earlier build holds its list open in WAL mode.
        const QString cet4 = Path("re/cet4.dat"), nce = Path("re/nce.dat");
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(cet4).constData(), &db), SQLITE_OK);
        sqlite3_key(db, fixture::kPassword, sizeof fixture::kPassword - 1);
        QCOMPARE(sqlite3_exec(db,
                              "PRAGMA journal_mode=WAL; UPDATE cet4 SET showTimes = 1 WHERE word = 'art'; "
                              "UPDATE cet4 SET showTimes = 3, toShowTime = 12 WHERE word = 'penny'",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        const QByteArray hash = Sha256(cet4);
        const bool built = Build(Options("re"));
        const QByteArray after = Sha256(cet4);
        sqlite3_close(db); // the file stays in WAL mode, as an earlier trainer left its lists
        QVERIFY(!built && Said(cet4 + ": the file is in use by another program"));
        QCOMPARE(after, hash);

        // Another membership in the file's order, so penny's index changes.
        fixture::Query(nce, "UPDATE nce4 SET showTimes = 7, toShowTime = 40 WHERE word = 'tackle'");
        QVERIFY(WriteFile(Path("src/cet4.txt"), "bill\npenny\n"));
        BuildOptions options = Options("re");
        options.headwordFiles.insert("cet4", Path("src/cet4.txt"));
        options.keepHeadwordOrder = true;
        QVERIFY2(Build(options), qPrintable(Log()));
        QCOMPARE(Words(cet4, "cet4", "word || ':' || showTimes || ':' || toShowTime || ':' || \"index\""),
                 "bill:0:0:1 penny:3:12:2");
        QCOMPARE(RowOf(nce, "nce4", "tackle", "showTimes, toShowTime"), "7|40");
        QVERIFY(Said("cet4: progress of 1 word(s) no longer in the list is dropped"));
        QCOMPARE(fixture::Query(cet4, "PRAGMA journal_mode"), "delete");
    }

    // The trainer's own store reads the rows (nce3 holds only abandon, its meaning shortened). A
    // trainer studying from the folder holds it: a rebuild refuses at once (exit code 1), naming the
    // trainer's process and leaving every file as it was; with --wait it goes ahead once the trainer
    // has ended and prints its summary. A bad option is exit code 2.
    void theTrainerReadsTheRowsAndHoldsOffARebuild() {
        QVERIFY(Build(Options("busy/db")));
        RecordingMessageBox box;
        auto trainer = std::make_unique<CWordStore>(box, Path("busy/mnemora"));
        QCOMPARE(trainer->OpenWordList(2, 1), 1);
        trainer->OpenWordTable();
        WordRecord r;
        trainer->ReadRow(r);
        QVERIFY(trainer->recordCount() == 1 && r.index == 1 && box.shown.isEmpty());
        QCOMPARE(r.wordChn, "vt. 放弃；抛弃；遗弃  n. 放任；无拘束；狂热");
        const QMap<QString, QByteArray> files = Files(Path("busy/db"));
        QProcess run;
        const QStringList args{"--no-wordnet", "--ecdict", Path("src/ecdict.csv"), "--out", Path("busy/db")};
        run.start(QStringLiteral(WORDLISTS_TOOL), args + QStringList{"--list", "cet5=x.txt"});
        QVERIFY(run.waitForFinished() && run.exitCode() == 2);
        run.start(QStringLiteral(WORDLISTS_TOOL), args);
        QVERIFY(run.waitForFinished() && run.exitCode() == 1);
        const QString said = QString::fromUtf8(run.readAllStandardError());
        QVERIFY2(said.contains(QStringLiteral("Mnemora (process %1) is studying from this folder")
                                   .arg(QCoreApplication::applicationPid())),
                 qPrintable(said));
        QCOMPARE(Files(Path("busy/db")), files);

        run.start(QStringLiteral(WORDLISTS_TOOL), args + QStringList{"--wait", "60"});
        QVERIFY(run.waitForStarted());
        trainer.reset();
        QVERIFY(run.waitForFinished(60000) && run.exitCode() == 0);
        QVERIFY(run.readAllStandardOutput().contains("cet4         6  100.0%"));
    }

    void badInput() {
        const QByteArray header =
            "word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,"
            "detail,audio\nart,ɑ:t,,n. 艺术,,,,zk,1,1,,,\n";
        // Which input gets the content, and the message after the file's path: a missing file, a
        // broken quote, a wrong header, a short row, an empty headword file, a pair without attribution.
        for (const auto& [file, content, message] :
             {std::tuple<QString, QByteArray, QString>{"ecdict.csv", QByteArray(), ": no such file"},
              {"ecdict.csv", header + "bill,bil,,\"n. 帐单,,,,gk,2,2,,,\n",
               ":3: quoted field is never closed"},
              {"ecdict.csv", "word,phonetic,translation\nart,ɑ:t,n. 艺术\n",
               ":1: not an ECDICT header: column(s) tag, bnc, frq, exchange missing"},
              {"ecdict.csv", header + "bill,bil\n", ":3: expected 13 fields, found 2"},
              {"cet4.txt", "\n# nothing here\n\n", ": no headwords in this file"},
              {"pairs.txt", "I like art.\t我爱艺术。\n",
               ":1: expected English<TAB>Chinese<TAB>attribution"}}) {
            const QString bad = Path("bad/" + file);
            QFile::remove(bad);
            QVERIFY(content.isNull() || WriteFile(bad, content));
            BuildOptions options = Options("bad/out");
            (file == u"ecdict.csv"  ? options.ecdictPath
             : file == u"pairs.txt" ? options.sentencesPath
                                    : options.headwordFiles["cet4"]) = bad;
            QVERIFY(!Build(options));
            QVERIFY2(Said(bad + message), qPrintable(Log()));
            QVERIFY(!QFileInfo::exists(options.outDir)); // nothing written, not even the folder
        }
    }

    void ipaMapping() {
        for (const auto& [why, ecdict, ipa] : testdata::StringRows{
                 {"short i and u, diphthongs", "ә'baut", "əˈbaʊt"},
                 {"long vowels", "'ә:bәn", "ˈɜːbən"},
                 {"ɒ: is ɔː, ou is əʊ", "ɒ:l'ðou", "ɔːlˈðəʊ"},
                 {"Cyrillic є, ^ and g", "'spєә^g", "ˈspeəɡɡ"},
                 {"leading secondary stress", ".aut'strip", "ˌaʊtˈstrɪp"},
                 {"secondary stress inside", "sә.fisti'keiʃәn", "səˌfɪstɪˈkeɪʃən"},
                 {"first of variants", "'kæsl. 'kɑ:sl", "ˈkæsl"},
                 {"variant after comma and stress", "'riðmikəl,'riθ-", "ˈrɪðmɪkəl"},
                 {"trailing partial variant", "'bai,pedəl,bai'pe-", "ˈbaɪˌpedəl"},
                 {"semicolon variant", "'petjjlәns; -tʃә-", "ˈpetjʊləns"},
                 {"only a partial variant", "-fitʃә", ""},
                 {"backslashes for ɜ", "'kɔnv\\\\\\\\:sli", "ˈkɔnvɜːslɪ"},
                 {"j written for ʊ", "bi'hәjldә(r)", "bɪˈhəʊldə(r)"},
                 {"optional length kept", ",i:kju(:)'menikәl", "ˌiːkju(ː)ˈmenɪkəl"},
                 {"modern IPA unchanged", "ˌɪnədˈvɜ:təntli", "ˌɪnədˈvɜːtəntlɪ"},
                 {"stray space in a word", "'miθikә l", "ˈmɪθɪkəl"},
                 {"empty", "", ""},
             })
            QCOMPARE(EcdictPhoneticToIpa(QString::fromUtf8(ecdict), false), QString::fromUtf8(ipa));
        QCOMPARE(EcdictPhoneticToIpa(u"p\\\\: 'kæpitә", true), "pɜː ˈkæpɪtə"); // a phrase keeps its spaces
        QCOMPARE(DictIpaToIpa(u"/ˈkɑɫiɡ/, /ˈkɔɫiɡ/"), "ˈkɑliɡ");
        QCOMPARE(DictIpaToIpa(u"/ˈɹæbət/"), "ˈræbət");
    }

    void meaningShortening() {
        for (const auto& [why, translation, meaning] : testdata::StringRows{
                 {"a. and ad., inflection note line dropped",
                  "a. 左边的, 左倾的, 左侧的, 左派的\\nad. 在左面\\nleave的过去式和过去分词",
                  "adj. 左边的；左倾的；左侧的  adv. 在左面"},
                 {"at most three lines", "n. 一\\nvt. 二\\nvi. 三\\nadj. 四", "n. 一  vt. 二  vi. 三"},
                 {"repeated part of speech skipped", "n. 中产阶级分子, 商人\\na. 平庸的\\nn. 九点活字",
                  "n. 中产阶级分子；商人  adj. 平庸的"},
                 {"commas inside brackets", "v. 使(马,鹰等)戴头罩, 覆盖", "v. 使(马,鹰等)戴头罩；覆盖"},
                 {"person-name line and sense dropped",
                  "n. (Perks)人名；(英)珀克斯\\nvt. 打扮, 使振作\\nn. 磨坊, 米尔斯（人名）",
                  "vt. 打扮；使振作  n. 磨坊"},
                 {"inflection note in brackets", "n. <美>毕业生( graduate的名词复数 ), 量筒",
                  "n. <美>毕业生；量筒"},
                 {"book-title marks, field label", "n. <<圣约书>>, [宗]遗嘱", "n. 《圣约书》；遗嘱"},
                 {"stray bracket", "a. [对...厌倦的；充分满足的；生腻的[with]",
                  "adj. 对...厌倦的；充分满足的；生腻的[with]"},
                 {"no part of speech", "学科间的, 跨学科的", "学科间的；跨学科的"},
                 {"only a domain line", " [人名] 坎斯", "坎斯"},
                 {"only an inflection note", "rive的过去分词", "rive的过去分词"},
             })
            QCOMPARE(ShortenMeaning(QString::fromUtf8(translation)), QString::fromUtf8(meaning));
    }

    void tokensKeepCompoundsAndFlagCapitals() {
        const QList<Token> tokens = Tokenize(u"\"Don't,\" said Bill. The penny-pincher’s café!");
        QStringList words;
        for (const Token& token : tokens)
            words << token.lower;
        QCOMPARE(words, (QStringList{"don't", "said", "bill", "the", "penny-pincher's", "café"}));
        QVERIFY(tokens[2].capitalised && !tokens[2].sentenceInitial && tokens[3].sentenceInitial);
        QCOMPARE((QStringList{WithoutClitic(words[4]), WithoutClitic(QStringLiteral("they're")),
                              WithoutClitic(QStringLiteral("don't"))}),
                 (QStringList{"penny-pincher", "they", ""}));
    }

    void wordNetExamplesReadAsSentences() {
        QCOMPARE(AsSentence(QStringLiteral("'all men are mortal' is a `true' proposition")),
                 "'All men are mortal' is a 'true' proposition.");
        QCOMPARE(AsSentence(QStringLiteral("how big is it?")), "How big is it?");
        QCOMPARE(AsSentence(QStringLiteral("music--you should hear it")), "Music—you should hear it.");
    }

    void csvReader() { // records as fields joined by '|' with their line, by '/'; then an error
        for (const auto& [why, data, expected] : testdata::StringRows{
                 {"quotes, blank line, CRLF", "a,\"b \"\"quoted\"\"\",\"two\nlines\"\r\n\nx,,\"\"\n",
                  "a|b \"quoted\"|two\nlines@1/x||@4"},
                 {"text after closing quote", "a,b\n\"c\"d,e\n",
                  "a|b@1/error 2: unexpected text after a closing quote"},
                 {"stray quote", "a,b\"c\n", "error 1: stray quote"},
             }) {
            QByteArray bytes(data);
            CCsvReader reader(bytes.data(), bytes.data() + bytes.size());
            std::vector<std::string_view> fields;
            QStringList read;
            CCsvReader::Status status;
            while ((status = reader.Next(fields)) == CCsvReader::Status::Record) {
                QStringList record;
                for (const std::string_view field : fields)
                    record << QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size()));
                read << record.join(u'|') + u'@' + QString::number(reader.RecordLine());
            }
            if (status == CCsvReader::Status::Error)
                read << QStringLiteral("error %1: %2").arg(reader.ErrorLine()).arg(reader.ErrorText());
            const QString text = read.join(u'/'); // the error text may go on
            QVERIFY2(text.startsWith(QString::fromUtf8(expected)), qPrintable(text));
        }
    }

    void utf8Validation() {
        for (const auto& [data, bad] : {std::pair<QByteArray, int>{"plain text, 汉字 and 😀 ok", -1},
                                        {"caf\xe9!", 3},
                                        {"ab\xc0\x80", 2},                  // overlong
                                        {"\xed\xa0\x80", 0},                // surrogate
                                        {"long line of text \xe6\xb1", 18}, // truncated
                                        {"\xf4\x90\x80\x80", 0}})           // beyond U+10FFFF
            QCOMPARE(FindInvalidUtf8(data), qsizetype(bad));
    }
};

QTEST_GUILESS_MAIN(TestWordListsBuild)
#include "test_wordlists_build.moc"
