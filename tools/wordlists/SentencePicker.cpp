#include "SentencePicker.h"

#include "Ecdict.h"
#include "SentenceCorpus.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <cstdlib>

namespace mnemora {
namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

QString Lower(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toLower();
}

struct Form {
    QString text;
    bool inflection;
};

} // namespace

CSentencePicker::CSentencePicker(const CSentenceCorpus& corpus, const CEcdict& ecdict)
    : corpus_(corpus), ecdict_(ecdict) {}

int CSentencePicker::LengthPenalty(int words) {
    int penalty = std::abs(words - 9);
    if (words < 4)
        penalty += 30;
    if (words > 20)
        penalty += 20 + words;
    return penalty;
}

bool CSentencePicker::IsWrongSense(const QString& headwordLower, int entry, const QString& token) const {
    const int headwordRank = entry >= 0 ? ecdict_.At(entry).Rank() : kNoRank;
    const std::string form = Utf8(token);
    const bool bare = token == headwordLower;
    for (const CEcdict::FormOf& other : ecdict_.LemmasOf(form)) {
        const EcdictEntry& lemma = ecdict_.At(other.lemma);
        const QString lemmaWord = Lower(lemma.word);
        if (lemmaWord == headwordLower || lemmaWord == token)
            continue;
        if (!bare)
            return true;
        if ((other.type == 'p' || other.type == 'd') && lemma.Rank() < headwordRank)
            return true;
    }
    if (!bare) {
        const int own = ecdict_.Find(form);
        if (own >= 0 && ecdict_.At(own).Rank() < headwordRank)
            return true;
    }
    return false;
}

SentenceChoice CSentencePicker::Pick(const QString& headword, int entry) const {
    const QList<Token> words = Tokenize(headword);
    if (words.isEmpty())
        return {};
    const bool lowerHeadword = headword == headword.toLower();
    const bool phrase = words.size() > 1;
    QString headwordLower;
    for (const Token& word : words)
        headwordLower += (headwordLower.isEmpty() ? QString() : QStringLiteral(" ")) + word.lower;

    QList<Form> forms{{words.first().lower, false}};
    if (!phrase && entry >= 0) {
        for (const ExchangeItem& item : ParseExchange(ecdict_.At(entry).exchange)) {
            if (item.type == '0' || item.type == '1')
                continue;
            const QString form = Lower(item.value);
            if (form != forms.first().text &&
                std::none_of(forms.begin(), forms.end(), [&](const Form& f) { return f.text == form; }))
                forms.append({form, true});
        }
    }

    QHash<int, int> best; // sentence → lowest penalty of its matches
    for (const Form& form : forms) {
        if (!phrase && IsWrongSense(headwordLower, entry, form.text))
            continue;
        for (const CSentenceCorpus::Posting& at : corpus_.Find(form.text)) {
            const QList<Token>& tokens = corpus_.TokensOf(at.sentence);
            const Token& token = tokens[at.token];
            if (lowerHeadword && token.capitalised && !token.sentenceInitial)
                continue;
            if (phrase) {
                if (at.token + words.size() > tokens.size())
                    continue;
                bool same = true;
                for (int k = 1; k < words.size() && same; ++k)
                    same = tokens[at.token + k].lower == words[k].lower;
                if (!same)
                    continue;
            }
            const Sentence& sentence = corpus_.At(at.sentence);
            int penalty = LengthPenalty(static_cast<int>(tokens.size()));
            if (form.inflection)
                penalty += kInflectionPenalty;
            if (sentence.source == SentenceSource::WordNet && !sentence.lemmas.contains(headwordLower))
                penalty += kOtherSensePenalty;
            const auto known = best.find(at.sentence);
            if (known == best.end())
                best.insert(at.sentence, penalty);
            else
                *known = std::min(*known, penalty);
        }
    }

    struct Candidate {
        int tier;
        int penalty;
        int sentence;
        bool operator<(const Candidate& o) const {
            return std::tie(tier, penalty, sentence) < std::tie(o.tier, o.penalty, o.sentence);
        }
    };
    std::vector<Candidate> candidates;
    candidates.reserve(static_cast<size_t>(best.size()));
    for (auto it = best.cbegin(); it != best.cend(); ++it) {
        const bool englishOnly = corpus_.At(it.key()).chinese.isEmpty();
        const bool tooShort = corpus_.TokensOf(it.key()).size() < kMinWords;
        candidates.push_back({(tooShort ? 2 : 0) + (englishOnly ? 1 : 0), it.value(), it.key()});
    }
    if (candidates.empty())
        return {};
    const Candidate first = *std::min_element(candidates.begin(), candidates.end());
    // When the best sentence has no Chinese, a bilingual one (however short) is the better
    // second: the learner gets at least one translated example.
    const bool wantBilingual = (first.tier & 1) != 0;
    const Candidate* second = nullptr;
    for (const Candidate& c : candidates) {
        if (c.sentence == first.sentence)
            continue;
        bool better = second == nullptr;
        if (!better) {
            const bool cBilingual = (c.tier & 1) == 0;
            better = wantBilingual && cBilingual != ((second->tier & 1) == 0) ? cBilingual : c < *second;
        }
        if (better && !NearDuplicates(first.sentence, c.sentence))
            second = &c;
    }
    return {first.sentence, second != nullptr ? second->sentence : -1};
}

bool CSentencePicker::NearDuplicates(int a, int b) const {
    QSet<QString> wordsA;
    for (const Token& token : corpus_.TokensOf(a))
        wordsA.insert(token.lower);
    QSet<QString> wordsB;
    for (const Token& token : corpus_.TokensOf(b))
        wordsB.insert(token.lower);
    const qsizetype smaller = std::min(wordsA.size(), wordsB.size());
    return smaller > 0 && wordsA.intersect(wordsB).size() * 5 >= smaller * 4;
}

} // namespace mnemora
