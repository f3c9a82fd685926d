#pragma once

#include <QList>
#include <QString>

namespace mnemora {

// One word of an English sentence. Apostrophes and hyphens between letters stay inside
// the token ("don't", "penny-pincher"), so "penny" never matches "penny-pincher".
struct Token {
    qsizetype start = 0;
    qsizetype length = 0;
    QString lower;                // lower case, typographic apostrophe as '
    bool capitalised = false;     // starts with a capital letter
    bool sentenceInitial = false; // first word, or first after . ! ?
};

QList<Token> Tokenize(QStringView text);

// The word a token also stands for without a clitic ("teacher's" → "teacher",
// "they're" → "they"), or empty when it has none.
QString WithoutClitic(const QString& lowerToken);

} // namespace mnemora
