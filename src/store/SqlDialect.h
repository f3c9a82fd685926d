#pragma once

#include <QString>

namespace mnemora {

// The word store's statements are written in the Jet dialect, where a column named
// index may stand bare ("... WHERE index = 57"). In SQLite INDEX is a keyword, so
// every bare index that names a column is quoted; string literals, quoted names and
// the keyword uses (CREATE/DROP/UNIQUE INDEX) are left alone. Quoted numbers
// assigned to numeric columns need no change: column affinity stores them as numbers.
QString AdaptJetStatement(const QString& statement);

} // namespace mnemora
