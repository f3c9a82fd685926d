#pragma once

#include <QList>
#include <QString>
#include <vector>

namespace mnemora {

class CDiagnostics;
class CEcdict;
struct EcdictEntry;
struct Headword;

// One word of a list: its ECDICT row and the spelling shown (ECDICT's, or the one
// a headword file gives).
struct ListMember {
    int entry = -1;
    QString word;
};

// How the membership of a list is found when no headword file replaces it.
struct ListRule {
    const char* table;
    enum class Kind { Tag, Bands, Business } kind;
    unsigned tag;  // Kind::Tag
    int firstBand; // Kind::Bands
    int lastBand;
    bool approximation; // no open list of the real syllabus exists
    const char* description;
};

// The rule of a catalogue table ("cet4" … "nce4"), or nullptr.
const ListRule* FindListRule(const QString& table);

// Members by a list's own rule, most frequent first.
std::vector<ListMember> MembersByRule(const CEcdict& ecdict, const ListRule& rule);

// Rows carrying an exam tag. A regular plural row ("accidents", exchange 0:accident 1:s)
// whose lemma is an exam word itself counts as that lemma.
std::vector<int> TaggedRows(const CEcdict& ecdict, unsigned tag);

// Level band of a row for the substitute lists, 0 when the row is no candidate.
// Candidates: a lower-case word (one hyphen allowed) with an exam tag, not an inflected
// form, with a corpus rank. Band = first of zk 1, gk 2, cet4 3, cet6/ky 4, ielts/toefl 5,
// else (gre only) 6.
int SubstituteBand(const EcdictEntry& entry);

// Band candidates above the 中考 level whose everyday (or economics) senses name business
// or workplace matters, at most kBusinessListSize, most frequent first.
inline constexpr int kBusinessListSize = 1250;
std::vector<int> BusinessRows(const CEcdict& ecdict);
bool HasBusinessSense(QStringView translation);

// Headwords looked up in ECDICT; a word that is not there is reported and skipped.
std::vector<ListMember> ResolveHeadwords(const CEcdict& ecdict, const QList<Headword>& headwords,
                                         const QString& path, CDiagnostics& diag);

// Stable sort by corpus rank: most frequent first, unranked words last in their order.
void SortByFrequency(const CEcdict& ecdict, std::vector<ListMember>& members);

} // namespace mnemora
