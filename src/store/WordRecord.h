#pragma once

#include <QString>
#include <cstdint>

namespace mnemora {

// One word row held in memory. The two counters are the only values ever written back.
struct WordRecord {
    int32_t index = 0;
    uint32_t showTimes = 0;  // first-pass shows so far; 7 or more means learnt
    uint32_t toShowTime = 0; // the RunTimes value from which the word is due again
    QString word;
    QString pronounce;
    QString wordChn;
    QString sentence1;
    QString sentence1Chn;
    QString sentence2;
    QString sentence2Chn;
};

} // namespace mnemora
