#pragma once

#include "FakeStudyView.h"
#include "FixtureDb.h"
#include "VirtualClock.h"
#include "store/WordStore.h"
#include "study/StudyCycle.h"

#include <QTemporaryDir>
#include <memory>

// A program folder in a temporary directory with its settings file and db/ folder, a
// word store on list files written there, and a study cycle whose view is a fake on
// virtual time. Every statement the store executes is recorded.
class StudyRig final {
public:
    // templatePath: where the temporary folder goes (QTemporaryDir's default when empty).
    explicit StudyRig(const QString& templatePath = QString());

    QString DbFile(const QString& name) const { return dir.filePath(QStringLiteral("db/") + name); }
    // Writes table into db/<file> (cet4.dat holds the first exam list).
    bool WriteList(const QList<fixture::Row>& rows, const QString& file = QStringLiteral("cet4.dat"),
                   const QString& table = QStringLiteral("cet4"));
    // Opens a list and selects its table, as start-up does.
    void Open(int listIndex = 0, int category = 0);
    // RunTimes (stored and cached) and the playback switches, then Open and the first scheduling.
    void Begin(uint32_t runTimes, bool autoPlay = true, bool showSentence = true);
    void SetSetting(const char* section, const char* key, uint32_t value);
    // Points the settings at a file in a folder that does not exist: reads give the
    // defaults and every write fails.
    void UseUnwritableSettings();
    // The counters sent by the UPDATE statements recorded since `from`, as "index:show:due".
    QStringList WrittenCounters(qsizetype from = 0) const;
    // showTimes of the batch entries, in batch order.
    QList<uint32_t> ShowTimes() const;
    bool AnyTimerArmed() const;

    QTemporaryDir dir;
    VirtualClock clock;
    FakeStudyView view{clock};
    std::unique_ptr<mnemora::CWordStore> store;
    std::unique_ptr<mnemora::CStudyCycle> cycle;
    QStringList statements;
};

// Rows "w1".."wN" with the given counters and no sentences.
QList<fixture::Row> Words(int n, int showTimes = 0, qint64 toShowTime = 0);
