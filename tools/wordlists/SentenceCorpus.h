#pragma once

#include "Tokenizer.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace mnemora {

enum class SentenceSource : quint8 { Tatoeba, WordNet };

struct Sentence {
    QString english;
    QString chinese;     // empty: an English-only sentence
    QString attribution; // the per-pair credit line of a Tatoeba sentence
    QStringList lemmas;  // WordNet: the words (lower case) of the sense the example illustrates
    SentenceSource source = SentenceSource::Tatoeba;
};

// All example sentences with an index from each lower-case word to where it occurs.
class CSentenceCorpus final {
public:
    struct Posting {
        int sentence;
        int token;
    };

    // Adds a sentence unless one with the same English words is already there.
    // Returns its id, or -1 when it was a duplicate or has no words.
    int Add(Sentence sentence);

    int Size() const { return static_cast<int>(sentences_.size()); }
    const Sentence& At(int id) const { return sentences_[static_cast<size_t>(id)]; }
    const QList<Token>& TokensOf(int id) const { return tokens_[static_cast<size_t>(id)]; }
    int BilingualCount() const { return bilingual_; }

    // Where a lower-case word occurs, also as a token with a clitic ("teacher's").
    const std::vector<Posting>& Find(const QString& lowerWord) const;

private:
    std::vector<Sentence> sentences_;
    std::vector<QList<Token>> tokens_;
    QHash<QString, std::vector<Posting>> index_;
    QHash<QString, int> byWords_;
    int bilingual_ = 0;
};

} // namespace mnemora
