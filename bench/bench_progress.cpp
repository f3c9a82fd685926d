// Opening the progress window on the built lists: the figures of the current list (tem8
// by default), loading the window module, building and showing the window; and counting
// the other eleven lists, which happens after the window is up.
//   bench_progress [db folder] [list index]     (QT_QPA_PLATFORM=offscreen or under Xvfb)
#include "platform/ModuleLoader.h"
#include "study/ProgressData.h"
#include "study/ProgressModule.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdio>

using namespace mnemora;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder =
        (argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(MNEMORA_BUILD_DIR "/db")) + u'/';
    const int listIndex = argc > 2 ? std::atoi(argv[2]) : 7;
    QTemporaryDir dir;
    CHistoryFile history(dir.filePath(QStringLiteral("history.sqlite")));
    // A learner of a week: three runs a day, so that due words are charted in days.
    history.PutRunTimes(QDate::currentDate().addDays(-7), 100 - 21);

    QElapsedTimer total;
    total.start();
    CProgressData data(folder, history);
    ProgressReport report = data.Build(0, listIndex, 100, QDate::currentDate());
    const qint64 figures = total.nsecsElapsed();
    QString error;
    IProgressModule* module = LoadModuleAs<IProgressModule>(QString::fromLatin1(kProgressModuleName), &error);
    if (module == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const qint64 loaded = total.nsecsElapsed();
    IProgressWindow* window = module->CreateWindow(nullptr);
    window->ShowReport(report);
    QWidget* widget = window->Widget();
    widget->repaint();
    QCoreApplication::processEvents();
    const qint64 shown = total.nsecsElapsed();

    QElapsedTimer others;
    others.start();
    data.Merge(report, data.CountOtherLists(0, listIndex, 100));
    window->UpdateReport(report);
    const qint64 rest = others.nsecsElapsed();

    const int words = report.lists.isEmpty() ? 0 : report.lists.front().counts.total;
    std::printf("current list: %d words\n", words);
    std::printf("figures of the current list  %7.1f ms\n", figures / 1e6);
    std::printf("module load                  %7.1f ms\n", (loaded - figures) / 1e6);
    std::printf("window built and drawn       %7.1f ms\n", (shown - loaded) / 1e6);
    std::printf("open in total                %7.1f ms  (target < 300 ms)\n", shown / 1e6);
    std::printf("the other lists, afterwards  %7.1f ms  (%lld lists shown)\n", rest / 1e6,
                static_cast<long long>(report.lists.size()));
    // BENCH_PROGRESS_SHOT=file.png keeps a picture of the window for a look.
    QCoreApplication::processEvents();
    if (const QByteArray shot = qgetenv("BENCH_PROGRESS_SHOT"); !shot.isEmpty())
        widget->grab().save(QString::fromLocal8Bit(shot));
    delete window;
    return 0;
}
