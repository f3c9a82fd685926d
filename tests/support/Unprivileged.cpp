#include "Unprivileged.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <unistd.h>

namespace testdata {

Privilege RunUnprivileged(QString* output) {
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("MNEMORA_TEST_UNPRIVILEGED"))
        return Privilege::RunHere;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        return Privilege::Unavailable;
    QString testCase = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag() != nullptr)
        testCase += u':' + QString::fromUtf8(QTest::currentDataTag());
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MNEMORA_TEST_UNPRIVILEGED"), QStringLiteral("1"));
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QStringLiteral("/tmp"));
    child.start(setpriv, {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                          QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(), testCase});
    const bool ended = child.waitForFinished(60000);
    *output = QString::fromLocal8Bit(child.readAll());
    const bool passed = ended && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
                        !output->contains(QLatin1String("SKIP "));
    if (!passed)
        *output = QStringLiteral("as nobody: ") + *output;
    return passed ? Privilege::ChildPassed : Privilege::ChildFailed;
}

} // namespace testdata
