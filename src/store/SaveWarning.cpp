#include "store/SaveWarning.h"

#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <utility>

namespace mnemora {

namespace {
// Less room than this and a small write fails for want of space.
constexpr qint64 kNearlyFull = 64 * 1024;
} // namespace

void CSaveWarning::Failed(const QString& path, sql::Failure failure, const QString& detail) {
    if (failing_)
        return;
    failing_ = true;
    if (quiet_)
        return;
    text_ = QStringLiteral(
                "无法保存复习进度：%1“%2”不能写入（%3）。%4暂时保存在内存中，之后每次保存时会再次写入。")
                .arg(kind_, QDir::toNativeSeparators(path), WriteFailureReason(path, failure, detail), what_);
}

QString CSaveWarning::Take() {
    return std::exchange(text_, QString());
}

QString WriteFailureReason(const QString& path, sql::Failure failure, const QString& detail) {
    if (path.isEmpty())
        return QStringLiteral("没有可用的文件路径");
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("所在文件夹不存在");
    if (file.exists() && !file.isFile())
        return QStringLiteral("该路径不是普通文件");
    if ((file.exists() && !CanWriteFile(path)) || failure == sql::Failure::ReadOnly)
        return QStringLiteral("文件是只读的");
    if (!CanWriteFolder(folder.absoluteFilePath()))
        return QStringLiteral("所在文件夹不允许写入");
    const QStorageInfo volume(folder.absoluteFilePath());
    if (failure == sql::Failure::Full || (volume.isValid() && volume.bytesAvailable() < kNearlyFull))
        return QStringLiteral("磁盘已满");
    if (failure == sql::Failure::Busy)
        return QStringLiteral("文件正被其他程序使用");
    if (!detail.isEmpty())
        return QStringLiteral("读写出错：%1").arg(detail);
    return QStringLiteral("写入失败");
}

} // namespace mnemora
