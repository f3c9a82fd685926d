#pragma once

#include "FakeStudyView.h"
#include "FixtureDb.h"
#include "settings/SettingsFile.h"
#include "store/WordStore.h"
#include "study/StudyCycle.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <type_traits>

// A program folder in a temporary directory with its settings file and db/ folder, a
// word store on list files written there (every statement it executes recorded), and a
// study cycle whose view is a fake on virtual time.
class StudyRig {
public:
    // inMemory: the folder on memory-backed storage where there is one (for runs that sync the
    // settings and list files thousands of times).
    explicit StudyRig(bool inMemory = false);
    // The folder made from templatePath, as QTemporaryDir makes it.
    explicit StudyRig(const QString& templatePath);

    QString DbFile(const QString& name) const { return dir.filePath(QStringLiteral("db/") + name); }
    // Writes table into db/<file> (cet4.dat holds the first exam list).
    bool WriteList(const QList<fixture::Row>& rows, const QString& file = QStringLiteral("cet4.dat"),
                   const QString& table = QStringLiteral("cet4")) {
        return fixture::WriteTable(DbFile(file), table, rows);
    }
    // Opens the first list and selects its table, as start-up does.
    void Open() {
        store->OpenWordList(0, 0);
        store->OpenWordTable();
    }
    // Writes rows as the first list, stores and caches RunTimes, sets the playback switches,
    // then Open and the first scheduling.
    bool Begin(const QList<fixture::Row>& rows, uint32_t runTimes, bool autoPlay = true,
               bool showSentence = true);

    // The counters sent by the UPDATE statements recorded since `from`, as "index:show:due".
    QStringList WrittenCounters(qsizetype from = 0) const;
    // showTimes and toShowTime of a row of the first list's file.
    QPair<qint64, qint64> FileCounters(int index) const {
        return fixture::Counters(DbFile(QStringLiteral("cet4.dat")), QStringLiteral("cet4"), index)
            .value_or(qMakePair(-1, -1));
    }
    // f of every batch entry, in batch order: Batch(&WordRecord::word) for the words.
    template <class F> auto Batch(F f) const {
        QList<std::decay_t<std::invoke_result_t<F, const mnemora::WordRecord&>>> out;
        for (auto p = store->batch.begin(); p != store->batch.end(); p = mnemora::WordBatch::Next(p))
            out << std::invoke(f, std::as_const(mnemora::WordBatch::At(p)));
        return out;
    }
    // The last text shown (empty when none).
    QString LastShown() const { return view.shown.isEmpty() ? QString() : view.shown.last().text; }
    // What the view showed, "time text" (time left out at 0), each text through name if given.
    QStringList Trace(const std::function<QString(const QString&)>& name = {}) const;

    QTemporaryDir dir;
    VirtualClock clock;
    FakeStudyView view{clock};
    std::unique_ptr<mnemora::CWordStore> store;
    std::unique_ptr<mnemora::CStudyCycle> cycle;
    QStringList statements;
};

// Rows "w1".."wN" with the given counters and no sentences.
QList<fixture::Row> Words(int n, int showTimes = 0, qint64 toShowTime = 0);
