#pragma once

#include "store/HistoryFile.h"
#include "study/StudyObserver.h"

#include <QDateTime>
#include <QMap>
#include <QPair>
#include <functional>
#include <memory>

namespace mnemora {

class CStudyCycle;
class CWordStore;

// Keeps the daily study history: counts what the cycle shows per local day and list, and
// adds it to the history file at each batch end (and so at an orderly exit), with the
// scheduler's clock as it stands then.
//
// Study time is the sum of the gaps between consecutive study steps (a word or sentence
// shown, a word marked), each gap capped, so that time spent paused, away or idle, when
// no steps come, adds at most one capped gap. A gap across midnight is split between the
// two days.
class CStudyHistory final : public IStudyObserver {
public:
    using Clock = std::function<QDateTime()>;
    static constexpr int64_t kMinGapCapMs = 60'000;

    using PathSource = std::function<QString()>;
    // historyPath: where the history file is, asked when it is first needed (the settings
    // location may still change during start-up); clock: local time (the system clock when empty).
    CStudyHistory(CStudyCycle& cycle, const CWordStore& store, PathSource historyPath, Clock clock = {});

    void OnWordShown(const WordRecord& record, bool firstPass) override;
    void OnSentenceShown(const WordRecord& record, int which) override;
    void OnBatchSaved() override { Flush(); }
    // A word marked learnt by hand (marked) or its mark undone.
    void OnWordMarked(bool marked);

    // Adds the pending figures to the file; false (and kept for the next try) when it failed.
    bool Flush();
    CHistoryFile& File();
    // The figures not yet written, per day and list.
    QList<DayRow> Pending() const { return pending_.values(); }

private:
    DayRow& Row(const QDate& day);
    // Credits the time since the last step; returns now.
    QDateTime Step();

    CStudyCycle& cycle_;
    const CWordStore& store_;
    PathSource historyPath_;
    std::unique_ptr<CHistoryFile> file_;
    Clock clock_;
    QDateTime lastStep_;
    QMap<QPair<QDate, QString>, DayRow> pending_;
    bool failureReported_ = false;
};

} // namespace mnemora
