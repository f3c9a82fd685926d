#pragma once

#include <QList>
#include <QString>

namespace mnemora {

class CDiagnostics;
class CEcdict;

struct Headword {
    QString word;
    qint64 line = 0;
};

// A user's headword list: one word per line, or (for a .csv file) a CSV table whose first
// column is the word. Blank lines and lines starting with # are skipped, and so is a CSV
// header whose first cell is "word", "words", "headword" or "lemma". Repeated words
// (ignoring case) keep their first line. Fails on unreadable or malformed files and on
// files without any headword.
bool LoadHeadwordFile(const QString& path, CDiagnostics& diag, QList<Headword>& words);

// Headwords whose source lost a letter to U+FFFD: one such letter is restored when exactly
// one dictionary word matches with a non-ASCII letter in its place, else when exactly one
// matches with an ASCII letter; any other such headword is left out. Each repair and each drop is reported
// with the file and line.
void RecoverLostLetters(const CEcdict& ecdict, const QString& path, CDiagnostics& diag,
                        QList<Headword>& words);

} // namespace mnemora
