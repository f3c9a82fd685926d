#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace mnemora {

// RFC 4180 reader over a buffer held in memory. Quoted fields are unescaped in place
// (a doubled quote becomes one), so the returned views point into the caller's buffer
// and stay valid as long as it lives; a 66 MB dictionary is read without a copy.
// Quoted fields may span lines; line numbers count the buffer's real newlines.
class CCsvReader final {
public:
    enum class Status { Record, End, Error };

    CCsvReader(char* begin, char* end);

    // Reads the next record. Empty lines are skipped. On Error, ErrorText() says what
    // was wrong and ErrorLine() where.
    Status Next(std::vector<std::string_view>& fields);

    qint64 RecordLine() const { return recordLine_; }
    qint64 ErrorLine() const { return errorLine_; }
    const QString& ErrorText() const { return errorText_; }

private:
    Status Fail(qint64 line, const QString& text);
    // Reads a quoted field starting at the opening quote; false on a broken quote.
    bool ReadQuoted(std::string_view& field);

    char* p_;
    char* end_;
    qint64 line_ = 1;
    qint64 recordLine_ = 0;
    qint64 errorLine_ = 0;
    QString errorText_;
};

} // namespace mnemora
