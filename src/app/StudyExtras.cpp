#include "app/StudyExtras.h"

#include "app/menus/MenuCommands.h"
#include "platform/ModuleLoader.h"
#include "settings/SettingsFile.h"
#include "store/WordStore.h"
#include "study/ProgressModule.h"
#include "study/StudyCycle.h"

#include <QDate>
#include <QFileInfo>
#include <QMetaObject>
#include <QWidget>
#include <cstdio>

namespace mnemora {

// Beside the settings file, wherever that is (the program folder, or the per-user folder).
static QString HistoryFilePath() {
    return QFileInfo(GetSettingsPath()).absolutePath() + QStringLiteral("/mnemora-history.sqlite");
}

CStudyExtras::CStudyExtras(CStudyCycle& cycle, CWordStore& store, QWidget* windowParent)
    : cycle_(cycle), store_(store), windowParent_(windowParent), known_(cycle, store),
      history_(cycle, store, HistoryFilePath) {
    cycle_.AddObserver(&known_);
    cycle_.AddObserver(&history_);
    known_.SetChangeHandler([this](const WordRecord& record, bool marked) {
        history_.OnWordMarked(marked);
        if (onMark_)
            onMark_(record.word, marked);
    });
}

CStudyExtras::~CStudyExtras() {
    if (counter_.joinable())
        counter_.join();
    cycle_.RemoveObserver(&history_);
    cycle_.RemoveObserver(&known_);
    delete window_; // the widget goes with it; its parent may already be half destroyed
}

bool CStudyExtras::OnCommand(int id) {
    switch (id) {
    case cmd::kKnowWord:
        KnowWord();
        return true;
    case cmd::kUndoKnowWord:
        UndoKnowWord();
        return true;
    case cmd::kProgress:
        OpenProgress();
        return true;
    default:
        return false;
    }
}

int CStudyExtras::CurrentListIndex() const {
    return cycle_.ListUnavailable() ? -1 : store_.listIndex();
}

bool CStudyExtras::OpenProgress() {
    if (window_ == nullptr) {
        if (loadFailed_)
            return false;
        QString error;
        IProgressModule* module =
            LoadModuleAs<IProgressModule>(QString::fromLatin1(kProgressModuleName), &error);
        if (module == nullptr) {
            loadFailed_ = true; // said once; the rest of the program goes on without the window
            std::fprintf(stderr, "mnemora: progress window is off: %s\n", error.toLocal8Bit().constData());
            return false;
        }
        window_ = module->CreateWindow(windowParent_);
        windowWidget_ = window_->Widget();
    }
    // The figures in memory first: the batch on show is written so that the file counts it.
    history_.Flush();
    // A list that could not be opened has no figures: no list is current then.
    CProgressData data(store_.dbFolder(), history_.File());
    report_ =
        data.Build(store_.category(), CurrentListIndex(), cycle_.CurrentRunTimes(), QDate::currentDate());
    window_->ShowReport(report_);
    CountOthersInBackground();
    return true;
}

// Opening the other lists costs one key derivation per file (about 40 ms each), so the
// window opens with their kept counts and is brought up to date when a worker has them.
void CStudyExtras::CountOthersInBackground() {
    if (counting_.exchange(true))
        return;
    if (counter_.joinable())
        counter_.join();
    const int category = store_.category();
    const int listIndex = CurrentListIndex();
    const uint32_t runTimes = report_.runTimes;
    const QString folder = store_.dbFolder();
    counter_ = std::thread([this, category, listIndex, runTimes, folder] {
        CHistoryFile unused{QString()};
        const QList<ListCounts> counts =
            CProgressData(folder, unused).CountOtherLists(category, listIndex, runTimes);
        QMetaObject::invokeMethod(
            this,
            [this, counts] {
                counting_ = false;
                CProgressData data(store_.dbFolder(), history_.File());
                data.Merge(report_, counts);
                if (window_ != nullptr)
                    window_->UpdateReport(report_);
            },
            Qt::QueuedConnection);
    });
}

} // namespace mnemora
