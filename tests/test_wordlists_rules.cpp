// The word-list builder's text rules on their own: IPA mapping, meaning shortening,
// tokenising, the CSV reader and UTF-8 checking.
#include "CsvReader.h"
#include "InputFile.h"
#include "Meaning.h"
#include "Phonetic.h"
#include "SentenceSources.h"
#include "TestData.h"
#include "Tokenizer.h"

#include <QTest>

using namespace mnemora;

class TestWordListsRules : public QObject {
    Q_OBJECT

private slots:
    void ipaMapping_data() {
        testdata::AddStringRows("ecdict", "ipa",
                                {
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
                                });
    }
    void ipaMapping() {
        QFETCH(QString, ecdict);
        QTEST(EcdictPhoneticToIpa(ecdict, false), "ipa");
    }

    void ipaOfPhrasesAndDictionary() {
        QCOMPARE(EcdictPhoneticToIpa(u"p\\\\: 'kæpitә", true), "pɜː ˈkæpɪtə");
        QCOMPARE(DictIpaToIpa(u"/ˈkɑɫiɡ/, /ˈkɔɫiɡ/"), "ˈkɑliɡ");
        QCOMPARE(DictIpaToIpa(u"/ˈɹæbət/"), "ˈræbət");
    }

    void meaningShortening_data() {
        testdata::AddStringRows(
            "translation", "meaning",
            {
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
            });
    }
    void meaningShortening() {
        QFETCH(QString, translation);
        QTEST(ShortenMeaning(translation), "meaning");
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

    void csvReader_data() { // records as fields joined by '|' with their line, by '/'; then an error
        testdata::AddStringRows(
            "data", "expected",
            {
                {"quotes, blank line, CRLF", "a,\"b \"\"quoted\"\"\",\"two\nlines\"\r\n\nx,,\"\"\n",
                 "a|b \"quoted\"|two\nlines@1/x||@4"},
                {"text after closing quote", "a,b\n\"c\"d,e\n",
                 "a|b@1/error 2: unexpected text after a closing quote"},
                {"stray quote", "a,b\"c\n", "error 1: stray quote"},
            });
    }
    void csvReader() {
        QFETCH(QString, data);
        QByteArray bytes = data.toUtf8();
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
        const QString text = read.join(u'/');
        QFETCH(QString, expected);
        QVERIFY2(text.startsWith(expected), qPrintable(text)); // the error text may go on
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

QTEST_GUILESS_MAIN(TestWordListsRules)
#include "test_wordlists_rules.moc"
