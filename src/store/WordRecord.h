#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace mnemora {

// The seven texts of a word row, in column order.
struct WordTexts {
    QString word;
    QString pronounce;
    QString wordChn;
    QString sentence1;
    QString sentence1Chn;
    QString sentence2;
    QString sentence2Chn;

    // Their column names, in the order of Texts.
    static constexpr std::array<const char*, 7> kColumns{
        "word", "pronounce", "wordChn", "sentence1", "sentence1Chn", "sentence2", "sentence2Chn"};
    std::array<QString*, 7> Texts() {
        return {&word, &pronounce, &wordChn, &sentence1, &sentence1Chn, &sentence2, &sentence2Chn};
    }
    std::array<const QString*, 7> Texts() const {
        return {&word, &pronounce, &wordChn, &sentence1, &sentence1Chn, &sentence2, &sentence2Chn};
    }
};

// One word row held in memory: index and the two counters, the only values ever
// written back, besides the texts.
struct WordRecord : WordTexts {
    int32_t index = 0;
    uint32_t showTimes = 0;  // first-pass shows so far; 7 or more means learnt
    uint32_t toShowTime = 0; // the RunTimes value from which the word is due again
};

} // namespace mnemora
