#include "SentenceCorpus.h"

namespace mnemora {

int CSentenceCorpus::Add(Sentence sentence) {
    QList<Token> tokens = Tokenize(sentence.english);
    if (tokens.isEmpty())
        return -1;
    QString key;
    for (const Token& token : tokens)
        key += token.lower + u' ';
    if (byWords_.contains(key))
        return -1;
    const int id = static_cast<int>(sentences_.size());
    byWords_.insert(key, id);
    for (int i = 0; i < tokens.size(); ++i) {
        index_[tokens[i].lower].push_back({id, i});
        const QString stem = WithoutClitic(tokens[i].lower);
        if (!stem.isEmpty())
            index_[stem].push_back({id, i});
    }
    if (!sentence.chinese.isEmpty())
        ++bilingual_;
    sentences_.push_back(std::move(sentence));
    tokens_.push_back(std::move(tokens));
    return id;
}

const std::vector<CSentenceCorpus::Posting>& CSentenceCorpus::Find(const QString& lowerWord) const {
    static const std::vector<Posting> kNone;
    const auto it = index_.constFind(lowerWord);
    return it == index_.constEnd() ? kNone : *it;
}

} // namespace mnemora
