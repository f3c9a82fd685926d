#include "study/StudyCycle.h"
#include "study/StudyView.h"

#include "store/WordStore.h"

namespace mnemora {

// The figures come from the walk counters, not from the database: in the middle of a
// walk the learnt count covers only the rows passed so far.
QString CStudyCycle::LearningStatsText() const {
    const int total = store_.recordCount();
    const int learnt = store_.learntCount();
    return QStringLiteral(
               "学习状态统计：\n所选词库共有单词数：%1\n已经完全记住单词数：%2\n需要继续学习单词数：%3")
        .arg(QString::number(total), QString::number(learnt), QString::number(total - learnt));
}

void CStudyCycle::ShowLearningStats() {
    // The walk counters of a list that could not be opened would read as an empty list.
    view_.ShowDesktopAlert(15, listUnavailable_ ? ListUnavailableText() : LearningStatsText());
}

} // namespace mnemora
