#pragma once

#include <QList>
#include <QString>

namespace mnemora {

class CDiagnostics;

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

} // namespace mnemora
