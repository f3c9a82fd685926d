#include "study/RunTimesCounter.h"

#include "settings/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace mnemora {

uint32_t CRunTimesCounter::Read() {
    return unsaved_ ? value_ : ReadRunTimes();
}

void CRunTimesCounter::Write(uint32_t value) {
    value_ = value;
    unsaved_ = !WriteRunTimes(value);
    if (unsaved_ && !warned_) {
        warned_ = true;
        const QString& path = GetSettingsPath();
        warning_ = QStringLiteral("无法保存复习进度：设置文件“%1”不能写入（%2）。复习计数 RunTimes "
                                  "暂时只保存在内存中，程序退出后将会丢失。")
                       .arg(QDir::toNativeSeparators(path), UnwritableReason(path));
    }
}

QString CRunTimesCounter::TakeWarning() {
    return std::exchange(warning_, QString());
}

QString UnwritableReason(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("没有可用的设置文件路径");
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.exists())
        return QStringLiteral("所在文件夹不存在");
    if (file.exists() && !file.isFile())
        return QStringLiteral("该路径不是普通文件");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("文件是只读的");
    if (!folder.isWritable())
        return QStringLiteral("所在文件夹不允许写入");
    return QStringLiteral("写入失败，磁盘可能已满");
}

} // namespace mnemora
