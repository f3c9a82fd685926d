#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace mnemora::ini {

// Profile-style access to an INI file with the semantics of the Windows profile functions:
// section and key names match without regard to case, only the first section of a name
// and the first occurrence of a key count, lines end at CR LF, LF or a lone CR, and a
// UTF-16 file with a byte-order mark is read as text and stays UTF-16 when written. A
// written key is replaced on its own line, a new key goes to the end of its section and
// a new section to the end of the file, with the file's own line break. Every other byte
// of the file is kept as it was (comments, unknown lines, a UTF-8 byte-order mark).

// The value of a key (blanks around it and one pair of enclosing quotes removed), or
// nothing when the file, the section or the key is absent.
std::optional<QByteArray> ReadValue(const QString& path, const char* section, const char* key);

// Sets a key and saves the file atomically (temporary file, then rename), so a failed
// write never leaves a truncated file behind; a UTF-16 file that does not decode is left
// alone. True when the value reached the file.
bool WriteValue(const QString& path, const char* section, const char* key, const QByteArray& value);

// Reads a stored value as the profile reader does: the leading decimal number (an
// optional sign, then digits) taken modulo 2^32; "0x10" reads 0. Text without leading
// digits reads 0, as on Windows; an empty value or an absent key gives the default.
uint32_t ParseProfileInt(const std::optional<QByteArray>& value, uint32_t defaultValue);

// Applies a key write to the text of a file; exposed for the file writer and tests.
QByteArray WithValue(const QByteArray& file, const char* section, const char* key, const QByteArray& value);

} // namespace mnemora::ini
