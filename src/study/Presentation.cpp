#include "study/StudyCycle.h"
#include "study/StudyObserver.h"
#include "study/StudyView.h"

#include "store/WordStore.h"

namespace mnemora {

WordRecord& CStudyCycle::Current() const {
    return WordBatch::At(batchCursor);
}

void CStudyCycle::Show(QString text) {
    displayText = std::move(text);
    view_.ShowWordText(displayText);
}

QString CStudyCycle::MeaningText() const {
    const WordRecord& r = Current();
    return r.word + QStringLiteral("  [ ") + r.pronounce + QStringLiteral(" ]\r\n") + r.wordChn;
}

void CStudyCycle::StepDisplay() {
    if (batchCursor == store_.batch.end())
        return;
    switch (phase) {
    case kPhaseWord:
        ShowWord();
        if (!autoPlay)
            RevealMeaning(); // manual playback shows word and meaning together
        break;
    case kPhaseFirstSentence:
        meaningPending = false;
        ShowFirstSentence();
        break;
    case kPhaseSecondSentence:
        meaningPending = false;
        ShowSecondSentence();
        break;
    default:
        break;
    }
}

void CStudyCycle::ShowWord() {
    if (batchCursor == store_.batch.end())
        return;
    WordRecord& r = Current();
    // A word stays at the learnt mark however often it is shown (stepping back, a new
    // batch shown at once and again a period later).
    const bool counted = !secondPass && r.showTimes < kLearntShowTimes;
    if (counted) {
        ++r.showTimes;
        r.toShowTime = IntervalFor(r.showTimes);
    }
    Show(r.word);
    meaningPending = true;
    for (IStudyObserver* observer : observers_)
        observer->OnWordShown(r, counted);
}

void CStudyCycle::RevealMeaning() {
    if (phase != kPhaseWord || !meaningPending || batchCursor == store_.batch.end())
        return;
    QString text = MeaningText();
    if (showSentence && !Current().sentence1.isEmpty()) {
        phase = kPhaseFirstSentence;
    } else {
        phase = kPhaseWord;
        batchCursor = WordBatch::Next(batchCursor);
    }
    Show(std::move(text));
}

void CStudyCycle::ShowFirstSentence() {
    ShowSentence(1);
}

void CStudyCycle::ShowSecondSentence() {
    ShowSentence(2);
}

// Sentence n (1 or 2) under the meaning; the second follows the first when the word has one.
void CStudyCycle::ShowSentence(int n) {
    if (batchCursor == store_.batch.end())
        return;
    const WordRecord& r = Current();
    QString text = MeaningText() + QStringLiteral("\r\n") + (n == 1 ? r.sentence1 : r.sentence2) +
                   QStringLiteral("\r\n") + (n == 1 ? r.sentence1Chn : r.sentence2Chn);
    if (n == 1 && !r.sentence2.isEmpty()) {
        phase = kPhaseSecondSentence;
    } else {
        phase = kPhaseWord;
        batchCursor = WordBatch::Next(batchCursor);
    }
    Show(std::move(text));
    for (IStudyObserver* observer : observers_)
        observer->OnSentenceShown(r, n);
}

} // namespace mnemora
