#pragma once

#include "ListRules.h"
#include "SentencePicker.h"
#include "store/ListFile.h"

#include <QHash>
#include <set>

namespace mnemora {

class CEcdict;
class CIpaDictionary;
class CSentenceCorpus;
class CSimplifier;

// Turns list members into table rows: IPA, short meaning (in Simplified script) and two
// example sentences.
// A word that several lists share is worked out once.
class CRowMaker final {
public:
    CRowMaker(const CEcdict& ecdict, const CIpaDictionary& ipa, const CSentenceCorpus& corpus,
              const CSimplifier& simplifier);

    // The row of a member; false when the member has no Chinese meaning at all.
    bool Make(const ListMember& member, WordRow& row);

    // "/…/" for a word: ECDICT's phonetic, else the IPA dictionary, else (for a phrase)
    // its words' pronunciations joined. Empty when none is known.
    QString Pronunciation(const ListMember& member) const;

    // Ids of the Tatoeba sentences used so far (for the credits).
    const std::set<int>& UsedTatoebaSentences() const { return usedTatoeba_; }

private:
    QString PartPronunciation(const QString& part) const;

    const CEcdict& ecdict_;
    const CIpaDictionary& ipa_;
    const CSentenceCorpus& corpus_;
    const CSimplifier& simplifier_;
    CSentencePicker picker_;
    QHash<QString, WordRow> done_; // by shown word + row
    std::set<int> usedTatoeba_;
};

} // namespace mnemora
