#include "RowMaker.h"

#include "Ecdict.h"
#include "Meaning.h"
#include "Phonetic.h"
#include "SentenceCorpus.h"
#include "Simplifier.h"

#include <QRegularExpression>
#include <QStringList>

namespace mnemora {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

CRowMaker::CRowMaker(const CEcdict& ecdict, const CIpaDictionary& ipa, const CSentenceCorpus& corpus,
                     const CSimplifier& simplifier)
    : ecdict_(ecdict), ipa_(ipa), corpus_(corpus), simplifier_(simplifier), picker_(corpus, ecdict) {}

QString CRowMaker::PartPronunciation(const QString& part) const {
    const std::string lower = part.toLower().toStdString();
    int row = ecdict_.Find(part.toStdString());
    if (row < 0)
        row = ecdict_.Find(lower);
    QString ipa = row >= 0 ? EcdictPhoneticToIpa(FromUtf8(ecdict_.At(row).phonetic), false) : QString();
    if (ipa.isEmpty())
        ipa = ipa_.Find(lower);
    return ipa;
}

QString CRowMaker::Pronunciation(const ListMember& member) const {
    static const QRegularExpression kSeparators(QStringLiteral("[ -]+"));
    const bool phrase = member.word.contains(u' ') || member.word.contains(u'-');
    QString ipa = EcdictPhoneticToIpa(FromUtf8(ecdict_.At(member.entry).phonetic), phrase);
    if (ipa.isEmpty())
        ipa = ipa_.Find(member.word.toLower().toStdString());
    if (ipa.isEmpty() && phrase) {
        QStringList parts;
        for (const QString& part : member.word.split(kSeparators, Qt::SkipEmptyParts)) {
            parts << PartPronunciation(part);
            if (parts.last().isEmpty())
                return QString();
        }
        ipa = parts.join(member.word.contains(u' ') ? QStringLiteral(" ") : QString());
    }
    return ipa; // bare: the window adds its own brackets
}

bool CRowMaker::Make(const ListMember& member, WordRow& row) {
    const QString key = member.word + u'\n' + QString::number(member.entry);
    const auto known = done_.constFind(key);
    if (known != done_.constEnd()) {
        row = *known;
        return !row.wordChn.isEmpty();
    }
    const EcdictEntry& entry = ecdict_.At(member.entry);
    row = WordRow();
    row.word = member.word;
    row.wordChn = simplifier_.Convert(ShortenMeaning(FromUtf8(entry.translation)));
    if (!row.wordChn.isEmpty()) {
        row.pronounce = Pronunciation(member);
        const SentenceChoice choice = picker_.Pick(member.word, member.entry);
        for (const auto& [id, english, chinese] :
             {std::tuple{choice.first, &row.sentence1, &row.sentence1Chn},
              std::tuple{choice.second, &row.sentence2, &row.sentence2Chn}}) {
            if (id < 0)
                continue;
            const Sentence& sentence = corpus_.At(id);
            *english = sentence.english;
            *chinese = sentence.chinese;
            if (sentence.source == SentenceSource::Tatoeba)
                usedTatoeba_.insert(id);
        }
    }
    done_.insert(key, row);
    return !row.wordChn.isEmpty();
}

} // namespace mnemora
