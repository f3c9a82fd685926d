#include "InputFile.h"

#include "Diagnostics.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mnemora {

qsizetype FindInvalidUtf8(QByteArrayView data) {
    const auto* s = reinterpret_cast<const unsigned char*>(data.data());
    const qsizetype n = data.size();
    qsizetype i = 0;
    while (i < n) {
        // Dictionary files are mostly ASCII; skip it eight bytes at a time.
        if (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, s + i, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned lead = s[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        uint32_t cp;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            cp = lead & 0x07;
        } else {
            return i;
        }
        if (i + length > n)
            return i;
        for (int k = 1; k < length; ++k) {
            const unsigned next = s[i + k];
            if ((next & 0xC0) != 0x80)
                return i;
            cp = (cp << 6) | (next & 0x3F);
        }
        if ((length == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
            (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return i;
        i += length;
    }
    return -1;
}

QString DecodeWindows1252(QByteArrayView data) {
    // 0x80-0x9F differ from Latin-1; the five bytes the code page leaves undefined map
    // to the control characters of the same value, as Windows does.
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(data.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t(byte));
    }
    return text;
}

qint64 LineAt(QByteArrayView data, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, data.size());
    return 1 + std::count(data.data(), data.data() + offset, '\n');
}

bool ReadInputFile(const QString& path, CDiagnostics& diag, QByteArray& data) {
    const QFileInfo info(path);
    if (!info.exists()) {
        diag.Error(path, 0, QStringLiteral("no such file"));
        return false;
    }
    if (!info.isFile()) {
        diag.Error(path, 0, QStringLiteral("not a regular file"));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        diag.Error(path, 0, QStringLiteral("cannot read: %1").arg(file.errorString()));
        return false;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        diag.Error(path, 0, QStringLiteral("cannot read: %1").arg(file.errorString()));
        return false;
    }
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const qsizetype bad = FindInvalidUtf8(data);
    if (bad >= 0) {
        // Word lists saved by older Windows editors are in the ANSI code page; a guess for the
        // whole file keeps every letter, where replacing bytes would lose them.
        const qint64 line = LineAt(data, bad);
        const qsizetype lineStart = bad == 0 ? 0 : data.lastIndexOf('\n', bad - 1) + 1;
        diag.Warning(
            path, line,
            QStringLiteral("byte 0x%1 in column %2 is not valid UTF-8; the file is read as Windows-1252")
                .arg(static_cast<unsigned char>(data[bad]), 2, 16, QLatin1Char('0'))
                .arg(bad - lineStart + 1));
        data = DecodeWindows1252(data).toUtf8();
    }
    return true;
}

} // namespace mnemora
