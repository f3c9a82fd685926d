#pragma once

#include <QString>
#include <functional>

namespace mnemora {

// Where the builder's messages go. A problem in an input names the file and, where it is
// known, the line ("file:12: ..."), the way compilers do, so an editor can jump to it.
class CDiagnostics final {
public:
    enum class Kind { Progress, Warning, Error };
    using Sink = std::function<void(Kind, const QString&)>;

    // Without a sink, progress goes to standard output and problems to standard error.
    explicit CDiagnostics(Sink sink = {});

    void Progress(const QString& text);
    void Warning(const QString& file, qint64 line, const QString& text);
    void Error(const QString& file, qint64 line, const QString& text);
    void Error(const QString& text);

    int ErrorCount() const { return errors_; }
    int WarningCount() const { return warnings_; }

    // "file:line: text", "file: text" when the line is unknown (0), or the bare text.
    static QString Located(const QString& file, qint64 line, const QString& text);

private:
    void Emit(Kind kind, const QString& text);

    Sink sink_;
    int errors_ = 0;
    int warnings_ = 0;
};

} // namespace mnemora
