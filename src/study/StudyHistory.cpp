#include "study/StudyHistory.h"

#include "store/WordStore.h"
#include "study/StudyCycle.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace mnemora {

CStudyHistory::CStudyHistory(CStudyCycle& cycle, const CWordStore& store, PathSource historyPath, Clock clock)
    : cycle_(cycle), store_(store), historyPath_(std::move(historyPath)), clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] { return QDateTime::currentDateTime(); };
}

CHistoryFile& CStudyHistory::File() {
    if (!file_)
        file_ = std::make_unique<CHistoryFile>(historyPath_());
    return *file_;
}

DayRow& CStudyHistory::Row(const QDate& day) {
    const QString list = store_.CurrentCatalogueTable();
    DayRow& row = pending_[qMakePair(day, list)];
    row.day = day;
    row.list = list;
    return row;
}

QDateTime CStudyHistory::Step() {
    const QDateTime now = clock_();
    if (lastStep_.isValid() && lastStep_ < now) {
        const int64_t cap = std::max<int64_t>(2 * int64_t{cycle_.wordPeriod}, kMinGapCapMs);
        QDateTime from = now.addMSecs(-std::min<int64_t>(lastStep_.msecsTo(now), cap));
        while (from.date() < now.date()) {
            const QDateTime midnight(from.date().addDays(1), QTime(0, 0));
            Row(from.date()).studyMs += from.msecsTo(midnight);
            from = midnight;
        }
        Row(now.date()).studyMs += from.msecsTo(now);
    }
    lastStep_ = now;
    return now;
}

void CStudyHistory::OnWordShown(const WordRecord& record, bool firstPass) {
    const QDateTime now = Step();
    if (!firstPass)
        return;
    DayRow& row = Row(now.date());
    ++row.shown;
    if (record.showTimes == 1)
        ++row.started;
    if (record.showTimes == CStudyCycle::kLearntShowTimes)
        ++row.learnt;
}

void CStudyHistory::OnSentenceShown(const WordRecord& /*record*/, int /*which*/) {
    Step();
}

void CStudyHistory::OnWordMarked(bool marked) {
    Row(Step().date()).learnt += marked ? 1 : -1;
}

bool CStudyHistory::Flush() {
    if (pending_.isEmpty())
        return true;
    if (!File().AddDays(pending_.values())) {
        if (!failureReported_)
            std::fprintf(
                stderr,
                "mnemora: study history %s cannot be written; the day's figures are kept until it can\n",
                QFile::encodeName(File().Path()).constData());
        failureReported_ = true;
        return false;
    }
    pending_.clear();
    // Only a help for reading the figures: a failure here costs no study data.
    File().PutRunTimes(clock_().date(), cycle_.CurrentRunTimes());
    return true;
}

} // namespace mnemora
