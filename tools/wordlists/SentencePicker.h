#pragma once

#include <QString>

namespace mnemora {

class CEcdict;
class CSentenceCorpus;

struct SentenceChoice {
    int first = -1; // sentence ids in the corpus, -1 when absent
    int second = -1;
};

// Chooses two example sentences for a headword:
// - a sentence matches when one of its words is the headword or one of its inflections
//   (ECDICT exchange types p d i 3 s r t), whole words only; a phrase matches word for word;
// - a capitalised word inside a sentence does not match a lower-case headword (Bill, May);
// - a match that may stand for another word is never used (see IsWrongSense);
// - bilingual sentences come before English-only ones, and both before sentences of fewer
//   than kMinWords words ("Greetings."); within each, sentences of 4–20 words closest to 9
//   rank first, and the bare headword beats an inflection (LengthPenalty);
// - WordNet examples of the headword's own sense come before other WordNet examples;
// - the second sentence is not a near copy of the first (NearDuplicates).
class CSentencePicker final {
public:
    CSentencePicker(const CSentenceCorpus& corpus, const CEcdict& ecdict);

    // entry is the headword's ECDICT row, or -1.
    SentenceChoice Pick(const QString& headword, int entry) const;

    // Rank penalty of a sentence of that many words: |n−9|, +30 below 4, +20+n above 20.
    static int LengthPenalty(int words);
    static constexpr int kInflectionPenalty = 3;
    static constexpr int kOtherSensePenalty = 10;
    static constexpr int kMinWords = 3;

    // Whether the word token (lower case), found for the headword (lower case, ECDICT row
    // entry or -1), may be another word. For the bare headword: when a more frequent word
    // has it as its past form (left ← leave, saw ← see, felt ← feel). For an inflection:
    // when any other ranked word has it as an inflection (leaves ← leaf), or when it is a
    // more frequent word in its own right (ground for grind).
    bool IsWrongSense(const QString& headwordLower, int entry, const QString& token) const;

    // Whether two sentences share at least 80% of the words of the shorter one
    // ("I majored in chemistry at the university." / "... in college.").
    bool NearDuplicates(int a, int b) const;

private:
    const CSentenceCorpus& corpus_;
    const CEcdict& ecdict_;
};

} // namespace mnemora
