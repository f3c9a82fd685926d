#pragma once

#include "store/Sql.h"

#include <QString>
#include <utility>

namespace mnemora {

// The learner's notice that study counters could not be saved. Every file that holds
// counters (the word lists, the settings file's RunTimes) words it alike, naming the file
// and the reason, and gives it once per failure spell: from the first failed save to the
// next one that writes everything.
class CSaveWarning final {
public:
    // kind names the file ("单词表文件"), what the counters kept in memory meanwhile.
    CSaveWarning(QString kind, QString what) : kind_(std::move(kind)), what_(std::move(what)) {}

    // A save failed; failure and detail are what the writer saw (Other and empty when it
    // cannot tell).
    void Failed(const QString& path, sql::Failure failure = sql::Failure::Other,
                const QString& detail = QString());
    // A save wrote everything: the spell is over.
    void Saved() {
        failing_ = false;
        text_.clear();
    }
    // The notice of the current spell, once; empty otherwise.
    QString Take();
    // The learner has been told already that nothing is saved: no notice of its own.
    void Quiet() { quiet_ = true; }

private:
    QString kind_;
    QString what_;
    QString text_;
    bool failing_ = false;
    bool quiet_ = false;
};

// Why path could not be written, for the learner: what the file system says about the
// file and its folder first, then the writer's failure.
QString WriteFailureReason(const QString& path, sql::Failure failure, const QString& detail);

} // namespace mnemora
