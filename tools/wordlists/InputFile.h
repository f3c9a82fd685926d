#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace mnemora {

class CDiagnostics;

// Reads a whole input file into data as UTF-8, without a leading byte-order mark. A file
// that is not valid UTF-8 is read as Windows-1252, with one warning naming the line of
// the first bad byte. Fails when the file is missing, not a regular file or unreadable.
bool ReadInputFile(const QString& path, CDiagnostics& diag, QByteArray& data);

// Offset of the first byte that does not belong to a valid UTF-8 sequence, or -1.
// Overlong forms, surrogates and code points above U+10FFFF count as invalid.
qsizetype FindInvalidUtf8(QByteArrayView data);

// Windows-1252 text (a superset of the printable Latin-1 range) as a string.
QString DecodeWindows1252(QByteArrayView data);

// 1-based line number of a byte offset.
qint64 LineAt(QByteArrayView data, qsizetype offset);

} // namespace mnemora
