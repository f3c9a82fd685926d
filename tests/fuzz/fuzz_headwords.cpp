// A user's headword file, as a plain list and as CSV: loading never fails silently
// (false comes with an error) and every word kept is non-empty.
#include "Diagnostics.h"
#include "FuzzInput.h"
#include "HeadwordFile.h"

#include <cstdlib>

using namespace mnemora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Choices in(data, size);
    const bool csv = in.Byte() & 1;
    const QString path =
        fuzz::WriteFile(csv ? QStringLiteral("words.csv") : QStringLiteral("words.txt"), in.Rest());
    CDiagnostics diag([](CDiagnostics::Kind, const QString&) {});
    QList<Headword> words;
    const bool ok = LoadHeadwordFile(path, diag, words);
    if (!ok && diag.ErrorCount() == 0)
        std::abort();
    for (const Headword& w : words)
        if (ok && (w.word.trimmed().isEmpty() || w.line < 1))
            std::abort();
    return 0;
}
