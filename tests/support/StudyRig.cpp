#include "StudyRig.h"

#include "settings/SettingsFile.h"

#include <QDir>
#include <QRegularExpression>

StudyRig::StudyRig(const QString& templatePath)
    : dir(templatePath.isEmpty() ? QDir::tempPath() + QStringLiteral("/mnemora-XXXXXX") : templatePath) {
    QDir(dir.path()).mkdir(QStringLiteral("db"));
    mnemora::OverrideSettingsPath(dir.filePath(QStringLiteral("mnemora.ini")));
    store = std::make_unique<mnemora::CWordStore>(view, dir.filePath(QStringLiteral("mnemora")));
    store->db.SetExecuteObserver([this](const QString& sql) { statements.append(sql); });
    cycle = std::make_unique<mnemora::CStudyCycle>(*store, view);
    view.Attach(cycle.get());
}

bool StudyRig::WriteList(const QList<fixture::Row>& rows, const QString& file, const QString& table) {
    return fixture::WriteTable(DbFile(file), table, rows);
}

void StudyRig::Open(int listIndex, int category) {
    store->OpenWordList(listIndex, category);
    store->OpenWordTable();
}

void StudyRig::Begin(uint32_t runTimes, bool autoPlay, bool showSentence) {
    SetSetting("Software", "RunTimes", runTimes);
    cycle->cachedRunTimes = runTimes;
    cycle->autoPlay = autoPlay;
    cycle->showSentence = showSentence;
    Open();
    cycle->ScheduleNextBatch();
}

void StudyRig::SetSetting(const char* section, const char* key, uint32_t value) {
    mnemora::WriteProfileUInt(section, key, value);
}

void StudyRig::UseUnwritableSettings() {
    mnemora::OverrideSettingsPath(dir.filePath(QStringLiteral("missing/mnemora.ini")));
}

QStringList StudyRig::WrittenCounters(qsizetype from) const {
    static const QRegularExpression update(QStringLiteral(
        "^UPDATE \\w+ SET showTimes = '(-?\\d+)', toShowTime = '(-?\\d+)' WHERE index = (-?\\d+)$"));
    QStringList counters;
    for (qsizetype i = from; i < statements.size(); ++i) {
        const QRegularExpressionMatch m = update.match(statements[i]);
        if (m.hasMatch())
            counters << m.captured(3) + u':' + m.captured(1) + u':' + m.captured(2);
    }
    return counters;
}

QList<uint32_t> StudyRig::ShowTimes() const {
    QList<uint32_t> counts;
    for (auto p = store->batch.begin(); p != store->batch.end(); p = mnemora::WordBatch::Next(p))
        counts << mnemora::WordBatch::At(p).showTimes;
    return counts;
}

bool StudyRig::AnyTimerArmed() const {
    return view.TimerArmed(mnemora::kWordTimerId) || view.TimerArmed(mnemora::kMeaningTimerId) ||
           view.DelayPending();
}

QList<fixture::Row> Words(int n, int showTimes, qint64 toShowTime) {
    QList<fixture::Row> rows;
    for (int i = 1; i <= n; ++i) {
        fixture::Row row;
        row.index = i;
        row.word = QStringLiteral("w%1").arg(i);
        row.pronounce = QStringLiteral("p%1").arg(i);
        row.wordChn = QStringLiteral("词%1").arg(i);
        row.showTimes = showTimes;
        row.toShowTime = toShowTime;
        rows << row;
    }
    return rows;
}
