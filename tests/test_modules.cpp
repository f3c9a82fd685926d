// The optional modules are found, checked and loaded one way: beside the program or in
// ../lib/mnemora/modules, refused from their metadata when built for another interface
// version. That the program studies without them is checked end to end (e2e/speech.sh,
// e2e/progress.sh).
#include "platform/ModuleLoader.h"
#include "platform/ProgramPath.h"
#include "study/ProgressModule.h"
#include "study/SpeechModule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mnemora;

class TestModules final : public QObject {
    Q_OBJECT

private slots:
    void modulesAreFoundCheckedAndLoadedOnce() {
        QTemporaryDir root;
        const QString installed = root.filePath(QStringLiteral("lib/mnemora/modules"));
        QVERIFY(QDir().mkpath(installed) && QDir().mkpath(root.filePath(QStringLiteral("bin"))));
        QVERIFY(QFile::copy(QStringLiteral(PROGRESS_MODULE),
                            installed + QStringLiteral("/libmnemora-progress.so")));
        QFile notAModule(root.filePath(QStringLiteral("bin/libmnemora-speech.so")));
        QVERIFY(notAModule.open(QIODevice::WriteOnly) && notAModule.write("not a library") > 0);
        notAModule.close();

        const struct {
            const char* program;
            const char* module;
            bool loads;
            const char* why;
        } rows[] = {
            {OTHER_VERSION_DIR "/mnemora", kSpeechModuleName, false,
             "a module of another version (io.github.mnemora.SpeechModule/0; this program needs "
             "io.github.mnemora.SpeechModule/1)"},
            {"bin/mnemora", kSpeechModuleName, false, "libmnemora-speech.so"},
            {"bin/mnemora", kProgressModuleName, true, ""},
            {"/nowhere/mnemora", kProgressModuleName, true, ""}, // loaded once, kept
            {"/nowhere/mnemora", kSpeechModuleName, false, "mnemora-speech: not found"},
        };
        for (const auto& row : rows) {
            SetProgramFilePath(QDir(root.path()).filePath(QString::fromUtf8(row.program)));
            QString error;
            const bool loaded = row.module == kSpeechModuleName
                                    ? LoadModuleAs<ISpeechModule>(row.module, &error) != nullptr
                                    : LoadModuleAs<IProgressModule>(row.module, &error) != nullptr;
            QVERIFY2(loaded == row.loads, qPrintable(error));
            QVERIFY2(error.contains(QString::fromUtf8(row.why)), qPrintable(error));
            QVERIFY(!error.contains(QLatin1Char('\n')));
        }
    }
};

QTEST_GUILESS_MAIN(TestModules)
#include "test_modules.moc"
