#include "CsvReader.h"

#include <algorithm>
#include <cstring>

namespace mnemora {

CCsvReader::CCsvReader(char* begin, char* end) : p_(begin), end_(end) {}

CCsvReader::Status CCsvReader::Fail(qint64 line, const QString& text) {
    errorLine_ = line;
    errorText_ = text;
    p_ = end_;
    return Status::Error;
}

bool CCsvReader::ReadQuoted(std::string_view& field) {
    const qint64 openLine = line_;
    char* const start = ++p_; // first byte after the opening quote
    char* out = nullptr;      // write position once an escaped quote has shifted the text
    for (;;) {
        char* quote = static_cast<char*>(std::memchr(p_, '"', static_cast<size_t>(end_ - p_)));
        char* const segmentEnd = quote != nullptr ? quote : end_;
        line_ += std::count(p_, segmentEnd, '\n');
        if (out != nullptr) {
            std::memmove(out, p_, static_cast<size_t>(segmentEnd - p_));
            out += segmentEnd - p_;
        }
        if (quote == nullptr) {
            Fail(openLine,
                 QStringLiteral("quoted field is never closed (its opening quote is on this line)"));
            return false;
        }
        if (quote + 1 < end_ && quote[1] == '"') {
            if (out == nullptr)
                out = quote;
            *out++ = '"';
            p_ = quote + 2;
            continue;
        }
        field = std::string_view(start, static_cast<size_t>((out != nullptr ? out : quote) - start));
        p_ = quote + 1;
        if (p_ < end_ && *p_ == '\r' && p_ + 1 < end_ && p_[1] == '\n')
            ++p_;
        if (p_ < end_ && *p_ != ',' && *p_ != '\n') {
            Fail(line_, QStringLiteral("unexpected text after a closing quote (a quote inside a quoted "
                                       "field must be doubled)"));
            return false;
        }
        return true;
    }
}

CCsvReader::Status CCsvReader::Next(std::vector<std::string_view>& fields) {
    fields.clear();
    while (p_ < end_ && (*p_ == '\n' || (*p_ == '\r' && p_ + 1 < end_ && p_[1] == '\n'))) {
        p_ += *p_ == '\r' ? 2 : 1;
        ++line_;
    }
    if (p_ >= end_)
        return Status::End;
    recordLine_ = line_;
    for (;;) {
        std::string_view field;
        if (p_ < end_ && *p_ == '"') {
            if (!ReadQuoted(field))
                return Status::Error;
        } else {
            char* const start = p_;
            while (p_ < end_ && *p_ != ',' && *p_ != '\n') {
                if (*p_ == '"')
                    return Fail(line_, QStringLiteral("stray quote inside an unquoted field (field %1)")
                                           .arg(fields.size() + 1));
                ++p_;
            }
            char* fieldEnd = p_;
            if (fieldEnd > start && fieldEnd[-1] == '\r' && (p_ == end_ || *p_ == '\n'))
                --fieldEnd;
            field = std::string_view(start, static_cast<size_t>(fieldEnd - start));
        }
        fields.push_back(field);
        if (p_ >= end_)
            return Status::Record;
        if (*p_ == ',') {
            ++p_;
            continue;
        }
        ++p_; // the newline
        ++line_;
        return Status::Record;
    }
}

} // namespace mnemora
