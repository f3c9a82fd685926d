#pragma once

#include "study/KnownWords.h"
#include "study/ProgressData.h"
#include "study/StudyHistory.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QWidget;

namespace mnemora {

class CStudyCycle;
class CWordStore;
class IProgressWindow;

// What the float window adds to the study cycle for progress: the "I know this word"
// commands, the daily history and the progress window (loaded from its module when first
// opened). The window owns one and forwards the commands and the Delete key.
class CStudyExtras final : public QObject {
    Q_OBJECT
public:
    CStudyExtras(CStudyCycle& cycle, CWordStore& store, QWidget* windowParent);
    ~CStudyExtras() override;

    // Told after each mark (marked true) and undo (false) that reached the list.
    using MarkHandler = std::function<void(const QString& word, bool marked)>;
    void SetMarkHandler(MarkHandler handler) { onMark_ = std::move(handler); }

    // True for the commands handled here.
    bool OnCommand(int id);
    void KnowWord() { known_.MarkShownWord(); }
    void UndoKnowWord() { known_.UndoLastMark(); }
    // Opens (or raises) the progress window; false with one line on stderr when its
    // module cannot be loaded.
    bool OpenProgress();

    CStudyHistory& History() { return history_; }
    CKnownWords& Known() { return known_; }
    IProgressWindow* ProgressWindow() const { return window_; }

private:
    void CountOthersInBackground();
    // The open list's position in its category, or -1 when the chosen one could not be opened.
    int CurrentListIndex() const;

    CStudyCycle& cycle_;
    CWordStore& store_;
    QWidget* windowParent_;
    CKnownWords known_;
    CStudyHistory history_;
    IProgressWindow* window_ = nullptr;
    QPointer<QWidget> windowWidget_;
    ProgressReport report_;
    std::thread counter_;
    std::atomic<bool> counting_{false};
    bool loadFailed_ = false;
    MarkHandler onMark_;
};

} // namespace mnemora
