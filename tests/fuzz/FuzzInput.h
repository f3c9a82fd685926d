#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// Helpers shared by the fuzz targets: a private folder for inputs that only a file can
// carry, and a reader that takes small choices off the front of the input.
namespace fuzz {

// In memory where the system has a tmpfs: the settings writer syncs every save.
inline const QTemporaryDir& Folder() {
    static const QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                       ? QStringLiteral("/dev/shm/mnemora-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/mnemora-fuzz-XXXXXX"));
    return dir;
}

inline QString WriteFile(const QString& name, const QByteArray& bytes) {
    const QString path = Folder().filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

class Choices {
public:
    Choices(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | Byte();
        return v;
    }
    template <typename T, size_t N> const T& Pick(const T (&options)[N]) { return options[Byte() % N]; }
    // Up to max bytes of the rest.
    QByteArray Bytes(size_t max) {
        const size_t n = std::min<size_t>(max, static_cast<size_t>(end_ - p_));
        QByteArray out(reinterpret_cast<const char*>(p_), static_cast<qsizetype>(n));
        p_ += n;
        return out;
    }
    QByteArray Rest() { return Bytes(static_cast<size_t>(end_ - p_)); }
    bool Empty() const { return p_ >= end_; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

} // namespace fuzz
