#include "Unprivileged.h"

#include "platform/FileAccess.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <unistd.h>

namespace testdata {

bool RanUnprivileged(const char* file, int line) {
    if (::geteuid() != 0 || qEnvironmentVariableIsSet("MNEMORA_TEST_UNPRIVILEGED"))
        return false;
    QString testCase = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag() != nullptr)
        testCase += u':' + QString::fromUtf8(QTest::currentDataTag());
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QStringLiteral("/tmp"));
    child.start(QStringLiteral("setpriv"),
                {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "env", "MNEMORA_TEST_UNPRIVILEGED=1",
                 "TMPDIR=/tmp", "HOME=/tmp", QCoreApplication::applicationFilePath(), testCase});
    const bool ended = child.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    // A skip in the child, or no setpriv to start it, would otherwise pass unnoticed here.
    if (!ended || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 ||
        output.contains(QLatin1String("SKIP ")))
        QTest::qFail(qPrintable(QStringLiteral("as nobody: ") + output), file, line);
    return true;
}

bool SetFolderWritable(const QString& folder, bool writable) {
    const QFile::Permissions keep = QFile::ReadOwner | QFile::ExeOwner;
    return QFile::setPermissions(folder, writable ? keep | QFile::WriteOwner : keep) &&
           mnemora::CanWriteFolder(folder) == writable;
}

} // namespace testdata
