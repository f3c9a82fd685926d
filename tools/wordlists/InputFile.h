#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace mnemora {

class CDiagnostics;

// Reads a whole input file into data, without a leading UTF-8 byte-order mark. Fails,
// with a message naming the file (and the line of the first bad byte), when the file is
// missing, not a regular file, unreadable, or not valid UTF-8.
bool ReadInputFile(const QString& path, CDiagnostics& diag, QByteArray& data);

// Offset of the first byte that does not belong to a valid UTF-8 sequence, or -1.
// Overlong forms, surrogates and code points above U+10FFFF count as invalid.
qsizetype FindInvalidUtf8(QByteArrayView data);

// 1-based line number of a byte offset.
qint64 LineAt(QByteArrayView data, qsizetype offset);

} // namespace mnemora
