#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace mnemora::ini {

// Profile-style access to an INI file: section and key names match without regard to
// case, the first occurrence of a key wins, a written key is replaced on its own line,
// a new key goes to the end of its section and a new section to the end of the file.
// Every other byte of the file is kept as it was (comments, unknown lines, CRLF, a BOM).

// The raw value of a key (blanks around it removed), or nothing when the file, the
// section or the key is absent.
std::optional<QByteArray> ReadValue(const QString& path, const char* section, const char* key);

// Sets a key and saves the file atomically (temporary file, then rename), so a failed
// write never leaves a truncated file behind. True when the value reached the file.
bool WriteValue(const QString& path, const char* section, const char* key, const QByteArray& value);

// Reads a stored value as the profile reader does: the leading decimal number (an
// optional sign, then digits) taken modulo 2^32. Text without leading digits, an empty
// value or an absent key gives the default.
uint32_t ParseProfileInt(const std::optional<QByteArray>& value, uint32_t defaultValue);

// Applies a key write to the text of a file; exposed for the file writer and tests.
QByteArray WithValue(const QByteArray& file, const char* section, const char* key, const QByteArray& value);

} // namespace mnemora::ini
