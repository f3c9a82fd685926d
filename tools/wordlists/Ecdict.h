#pragma once

#include <QByteArray>
#include <QString>
#include <climits>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mnemora {

class CDiagnostics;

// Exam tags of ECDICT's tag column, as bits.
enum ExamTag : unsigned {
    kTagZk = 1u << 0, // 中考
    kTagGk = 1u << 1, // 高考
    kTagCet4 = 1u << 2,
    kTagCet6 = 1u << 3,
    kTagKy = 1u << 4, // 考研
    kTagIelts = 1u << 5,
    kTagToefl = 1u << 6,
    kTagGre = 1u << 7,
};
unsigned ParseTags(std::string_view tags);

inline constexpr int kNoRank = INT_MAX;

// One dictionary row. The texts point into the loaded file (UTF-8).
struct EcdictEntry {
    std::string_view word;
    std::string_view phonetic;
    std::string_view translation;
    std::string_view exchange;
    qint64 line = 0;
    int frq = 0; // COCA rank, 0 when unknown
    int bnc = 0; // BNC rank, 0 when unknown
    unsigned tags = 0;

    // Corpus rank, smaller is more frequent: frq, else bnc, else kNoRank.
    int Rank() const { return frq > 0 ? frq : bnc > 0 ? bnc : kNoRank; }
};

// One item of the exchange column: type 0 (lemma), 1 (which forms), p d i 3 s r t.
// The obsolete types b f z of older files are dropped.
struct ExchangeItem {
    char type;
    std::string_view value;
};
std::vector<ExchangeItem> ParseExchange(std::string_view exchange);
// The lemma this row is an inflected form of (its 0: item when that differs from word).
std::string_view LemmaOf(const EcdictEntry& entry);

// The ECDICT CSV, loaded whole. Rows are kept in file order and found by word.
class CEcdict final {
public:
    // A lemma of which a word is an inflected form: the lemma's row and the form's type.
    struct FormOf {
        std::string_view form;
        int lemma;
        char type;
    };

    bool Load(const QString& path, CDiagnostics& diag);

    const QString& Path() const { return path_; }
    const std::vector<EcdictEntry>& Entries() const { return entries_; }
    const EcdictEntry& At(int index) const { return entries_[static_cast<size_t>(index)]; }

    // Row of exactly this word, or -1.
    int Find(std::string_view word) const;
    // Row of a headword from a user's file: the exact spelling, else its lower case, else
    // any row that differs only in case ("fax" finds "FAX"). -1 when none.
    int FindHeadword(const QString& word) const;

    // Ranked rows that list form among their inflections (types p d i 3 s).
    std::span<const FormOf> LemmasOf(std::string_view form) const;

private:
    bool ReadHeader(const std::vector<std::string_view>& fields, CDiagnostics& diag);
    void IndexForms();

    QString path_;
    QByteArray data_;
    std::vector<EcdictEntry> entries_;
    std::unordered_map<std::string_view, int> byWord_;
    mutable std::unordered_map<std::string, int> byFoldedWord_; // built on first need
    std::vector<FormOf> forms_;                                 // sorted by form
    int columns_ = 0;
    int colWord_ = -1, colPhonetic_ = -1, colTranslation_ = -1, colTag_ = -1, colBnc_ = -1, colFrq_ = -1,
        colExchange_ = -1;
};

} // namespace mnemora
