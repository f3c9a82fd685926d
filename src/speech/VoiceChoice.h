#pragma once

#include <QString>
#include <QStringList>

namespace mnemora {

// The voice for an accent among the system's voices, each given by its "Language"
// attribute: hexadecimal language ids separated by ';' ("409;9" is US English). The index
// of the first voice of exactly that accent ("en-US" is 409, "en-GB" 809), else of the
// first English one of any accent; -1 when none speaks English.
inline int ChooseVoice(const QStringList& languages, const QString& accent) {
    constexpr uint kEnglish = 0x09; // the primary language: the low ten bits of an id
    const uint wanted = accent == u"en-GB" ? 0x809 : 0x409;
    int anyEnglish = -1;
    for (int i = 0; i < languages.size(); ++i) {
        for (const QString& field : languages[i].split(u';', Qt::SkipEmptyParts)) {
            bool ok = false;
            const uint id = field.trimmed().toUInt(&ok, 16);
            if (!ok)
                continue;
            if (id == wanted)
                return i;
            if ((id & 0x3ff) == kEnglish && anyEnglish < 0)
                anyEnglish = i;
        }
    }
    return anyEnglish;
}

} // namespace mnemora
