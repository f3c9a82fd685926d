// Whether the float window shows every row of the built word lists whole: for each row the
// tallest text the window composes (meaning with an example sentence and its translation)
// is fitted as the window fits it, then laid out by a label made like the window's, which
// must need no more room than the fit gives. Prints per font: rows, rows that grow the
// window, rows whose text is made smaller, rows cut, and the tallest window.
//   bench_textfit [DB_DIR]      (default: the build's db/; run on a display of the screen
//                                size wanted, QT_SCALE_FACTOR=2 for double scale)
#include "FixtureDb.h"
#include "app/MnemoraDlg.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <cstdio>

using namespace mnemora;

namespace {

struct Tally {
    int rows = 0, grown = 0, shrunk = 0, cut = 0, tallest = 0;
    QString tallestWord, cutWord;
};

// The window's label: width, wrapping and alignment as in the float window.
constexpr int kLabelWidth = 528, kLabelHeight = 86, kWindowHeight = 109;

void Measure(const QString& text, const QString& word, const QFont& font, int screenHeight, Tally& tally) {
    const int margins = kWindowHeight - kLabelHeight;
    const TextFit fit = FitText(text, font, kLabelWidth, kLabelHeight, screenHeight - margins);
    QLabel label(text);
    label.setWordWrap(true);
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label.setFont(fit.font);
    const bool cut =
        label.heightForWidth(kLabelWidth) > fit.height ||
        QFontMetrics(fit.font)
                .boundingRect(QRect(0, 0, kLabelWidth, 100000), Qt::AlignHCenter | Qt::TextWordWrap, text)
                .width() > kLabelWidth;
    ++tally.rows;
    tally.grown += fit.height > kLabelHeight;
    tally.shrunk += fit.font != font;
    if (cut && tally.cut++ == 0)
        tally.cutWord = word;
    if (fit.height + margins > tally.tallest) {
        tally.tallest = fit.height + margins;
        tally.tallestWord = word;
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(MNEMORA_BUILD_DIR "/db");
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QFont standard(QStringLiteral("Times New Roman"));
    standard.setPixelSize(16);
    QFont large(QStringLiteral("Times New Roman"), 24);
    const QList<std::pair<const char*, QFont>> fonts{{"16 px (default)", standard}, {"24 pt", large}};
    QList<Tally> tallies(fonts.size());

    const QStringList files = QDir(folder).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        const QString path = folder + u'/' + file;
        for (const QStringList& table :
             fixture::Select(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"))) {
            const QList<QStringList> rows = fixture::Select(
                path, QStringLiteral("SELECT word, pronounce, wordChn, sentence1, sentence1Chn, sentence2, "
                                     "sentence2Chn FROM \"%1\"")
                          .arg(table.value(0)));
            for (const QStringList& r : rows) {
                const QString meaning = r[0] + QStringLiteral("  [ ") + r[1] + QStringLiteral(" ]\n") + r[2];
                for (int i = 0; i < fonts.size(); ++i) {
                    for (int s : {3, 5})
                        Measure(meaning + u'\n' + r[s] + u'\n' + r[s + 1], r[0], fonts[i].second,
                                area.height(), tallies[i]);
                }
            }
        }
    }
    std::printf("screen area %dx%d (logical), scale %.2f, %lld lists in %s\n", area.width(), area.height(),
                QGuiApplication::primaryScreen()->devicePixelRatio(), static_cast<long long>(files.size()),
                qPrintable(folder));
    for (int i = 0; i < fonts.size(); ++i) {
        const Tally& t = tallies[i];
        std::printf("%-16s texts %6d  grown %6d  smaller %5d  cut %d%s  tallest %d px (%s)\n", fonts[i].first,
                    t.rows, t.grown, t.shrunk, t.cut,
                    t.cut ? qPrintable(QStringLiteral(" (first: %1)").arg(t.cutWord)) : "", t.tallest,
                    qPrintable(t.tallestWord));
    }
    return 0;
}
