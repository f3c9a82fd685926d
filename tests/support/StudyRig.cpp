#include "StudyRig.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace mnemora;

StudyRig::StudyRig(bool inMemory)
    : StudyRig((inMemory && QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                               : QDir::tempPath()) +
               QStringLiteral("/mnemora-XXXXXX")) {}

StudyRig::StudyRig(const QString& templatePath) : dir(templatePath) {
    QDir(dir.path()).mkdir(QStringLiteral("db"));
    OverrideSettingsPath(dir.filePath(QStringLiteral("mnemora.ini")));
    store = std::make_unique<CWordStore>(view, dir.filePath(QStringLiteral("mnemora")));
    store->SetExecuteObserver([this](const QString& sql) { statements.append(sql); });
    cycle = std::make_unique<CStudyCycle>(*store, view);
    view.Attach(cycle.get());
}

bool StudyRig::Begin(const QList<fixture::Row>& rows, uint32_t runTimes, bool autoPlay, bool showSentence) {
    const bool written = WriteList(rows);
    WriteProfileUInt("Software", "RunTimes", runTimes);
    cycle->cachedRunTimes = runTimes;
    cycle->autoPlay = autoPlay;
    cycle->showSentence = showSentence;
    Open();
    cycle->ScheduleNextBatch();
    return written;
}

QStringList StudyRig::WrittenCounters(qsizetype from) const {
    static const QRegularExpression update(QStringLiteral(
        "^UPDATE \\w+ SET showTimes = '(-?\\d+)', toShowTime = '(-?\\d+)' WHERE index = (-?\\d+)$"));
    QStringList counters;
    for (qsizetype i = from; i < statements.size(); ++i) {
        if (const QRegularExpressionMatch m = update.match(statements[i]); m.hasMatch())
            counters << m.captured(3) + u':' + m.captured(1) + u':' + m.captured(2);
    }
    return counters;
}

QStringList StudyRig::Trace(const std::function<QString(const QString&)>& name) const {
    QStringList out;
    for (const FakeStudyView::Shown& s : view.shown)
        out << (s.at > 0 ? QString::number(s.at) + u' ' : QString()) + (name ? name(s.text) : s.text);
    return out;
}

QList<fixture::Row> Words(int n, int showTimes, qint64 toShowTime) {
    QList<fixture::Row> rows;
    for (int i = 1; i <= n; ++i)
        rows.append({i, QStringLiteral("w%1").arg(i), showTimes, toShowTime, QStringLiteral("p%1").arg(i),
                     QStringLiteral("词%1").arg(i)});
    return rows;
}
