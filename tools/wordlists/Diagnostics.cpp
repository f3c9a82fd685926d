#include "Diagnostics.h"

#include <cstdio>

namespace mnemora {

CDiagnostics::CDiagnostics(Sink sink) : sink_(std::move(sink)) {}

void CDiagnostics::Progress(const QString& text) {
    Emit(Kind::Progress, text);
}

void CDiagnostics::Warning(const QString& file, qint64 line, const QString& text) {
    ++warnings_;
    Emit(Kind::Warning, QStringLiteral("warning: ") + Located(file, line, text));
}

void CDiagnostics::Error(const QString& file, qint64 line, const QString& text) {
    ++errors_;
    Emit(Kind::Error, QStringLiteral("error: ") + Located(file, line, text));
}

void CDiagnostics::Error(const QString& text) {
    Error(QString(), 0, text);
}

QString CDiagnostics::Located(const QString& file, qint64 line, const QString& text) {
    if (file.isEmpty())
        return text;
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(text);
    return QStringLiteral("%1: %2").arg(file, text);
}

void CDiagnostics::Emit(Kind kind, const QString& text) {
    if (sink_) {
        sink_(kind, text);
        return;
    }
    FILE* stream = kind == Kind::Progress ? stdout : stderr;
    std::fprintf(stream, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stream);
}

} // namespace mnemora
