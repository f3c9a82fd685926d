#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <set>

namespace mnemora {

class CSentenceCorpus;

// What a build used, for the credits file written beside the lists.
struct CreditsInput {
    QString ecdictPath;
    bool ipaDictionary = false;
    bool wordNet = false;
    QMap<QString, QString> headwordFiles; // table → file that replaced its membership
    QStringList approximations;           // "tem4: stand-in: ..." lines
    std::set<int> tatoebaSentences;       // ids of the bilingual sentences written
};

inline constexpr char kCreditsFileName[] = "CREDITS.txt";

// Sources, their licences and the attribution of every Tatoeba sentence used.
QString CreditsText(const CreditsInput& input, const CSentenceCorpus& corpus);

} // namespace mnemora
