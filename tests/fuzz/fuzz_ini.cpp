// The settings file reader and writer on any file text: after a write, the written key
// reads back its value and every other key reads as it did before.
#include "FuzzInput.h"
#include "settings/IniProfile.h"

#include <QFile>
#include <cstdlib>
#include <cstring>

using namespace mnemora;

namespace {

const char* const kSections[] = {"Word", "word", "Software", "FloatWindow", "Version", "Away", "x y", ""};
const char* const kKeys[] = {"WordElapse", "wordelapse", "RunTimes", "TOPMOST", "DBTable", "a", "k k"};
const char* const kValues[] = {"0", "8", "4294967295", "-1", "abc", "", "12x"};

bool SameName(const char* a, const char* b) {
    return QByteArrayView(a).trimmed().compare(QByteArrayView(b).trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Choices in(data, size);
    const char* section = in.Pick(kSections);
    const char* key = in.Pick(kKeys);
    const QByteArray value = in.Pick(kValues);
    const QByteArray original = in.Rest();
    const QString path = fuzz::WriteFile(QStringLiteral("mnemora.ini"), original);

    std::optional<QByteArray> before[std::size(kSections)][std::size(kKeys)];
    for (size_t s = 0; s < std::size(kSections); ++s)
        for (size_t k = 0; k < std::size(kKeys); ++k)
            before[s][k] = ini::ReadValue(path, kSections[s], kKeys[k]);

    if (!ini::WriteValue(path, section, key, value)) {
        // A file the writer cannot take whole (a UTF-16 text that does not decode) is
        // refused, and then it is left exactly as it was.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != original)
            std::abort();
        return 0;
    }
    for (size_t s = 0; s < std::size(kSections); ++s) {
        for (size_t k = 0; k < std::size(kKeys); ++k) {
            const std::optional<QByteArray> after = ini::ReadValue(path, kSections[s], kKeys[k]);
            if (SameName(kSections[s], section) && SameName(kKeys[k], key)) {
                if (after != value)
                    std::abort();
            } else if (after != before[s][k]) {
                std::abort();
            }
        }
    }
    ini::ParseProfileInt(before[0][0], 8);
    return 0;
}
