#pragma once

#include <QString>

namespace mnemora {

class CDiagnostics;
class CSentenceCorpus;
class CSimplifier;

// Tatoeba pairs, one per line: English<TAB>Chinese<TAB>attribution. The Chinese is
// converted to Simplified script; where an English sentence has several translations,
// one that was Simplified already in the file is preferred, else the first.
bool LoadTatoeba(const QString& path, const CSimplifier& simplifier, CSentenceCorpus& corpus,
                 CDiagnostics& diag);

// English-only usage examples: the double-quoted strings of three or more words in the
// glosses of WordNet's data.noun/verb/adj/adv files in dir.
bool LoadWordNetDir(const QString& dir, CSentenceCorpus& corpus, CDiagnostics& diag);

// The same examples from a table: synset_offset<TAB>pos<TAB>lemmas (|-separated)<TAB>example.
bool LoadWordNetTable(const QString& path, CSentenceCorpus& corpus, CDiagnostics& diag);

// A WordNet example made to read as a sentence: ` quotes and -- dashes replaced, first
// letter capitalised, a full stop added when it ends in a letter, digit, quote or bracket.
QString AsSentence(QString example);

} // namespace mnemora
