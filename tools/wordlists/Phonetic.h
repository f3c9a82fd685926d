#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>
#include <unordered_map>

namespace mnemora {

class CDiagnostics;

// ECDICT's phonetic column in standard IPA, without the enclosing slashes: its old-style
// letters mapped (Cyrillic ә, є; ' . , : ^), its short i/u written ɪ/ʊ, the first of several
// variants only. Spaces are kept only for phrases (keepSpaces). Empty when unusable
// (empty, or only a partial variant such as "-fitʃә").
QString EcdictPhoneticToIpa(QStringView phonetic, bool keepSpaces);

// The first pronunciation of an IPA-dictionary entry ("/ˈæpəɫ/, /.../") in the same style.
QString DictIpaToIpa(QStringView ipa);

// A word → IPA list ("word<TAB>/ipa/" per line), used where ECDICT has no phonetic.
class CIpaDictionary final {
public:
    bool Load(const QString& path, CDiagnostics& diag);
    bool IsEmpty() const { return entries_.empty(); }
    // IPA of a lower-case word without slashes, or empty.
    QString Find(std::string_view lowerWord) const;

private:
    QByteArray data_;
    std::unordered_map<std::string_view, std::string_view> entries_;
};

} // namespace mnemora
