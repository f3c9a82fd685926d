#include "Phonetic.h"

#include "Diagnostics.h"
#include "InputFile.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstring>

namespace mnemora {
namespace {

bool IsVowelSymbol(QChar c) {
    static const QString kVowels = QStringLiteral("aeiouæɑɒɔʌəɜɪʊɛ");
    return kVowels.contains(c);
}

bool IsStress(QChar c) {
    return c == u'\'' || c == u'ˈ';
}

// Cuts the phonetic down to its first variant. ECDICT separates variants by "; ", ". ",
// ", ", ",'" or ".-"; a "," or "." inside a word (or at its start) marks secondary stress.
QString FirstVariant(QString s) {
    const qsizetype semicolon = s.indexOf(u';');
    if (semicolon >= 0)
        s.truncate(semicolon);
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != u',' && s[i] != u'.')
            continue;
        if (s.left(i).trimmed().isEmpty())
            continue; // leading mark: secondary stress on the first syllable
        const QChar next = i + 1 < s.size() ? s[i + 1] : QChar(u' ');
        if (next == u' ' || next == u'-' || IsStress(next)) {
            s.truncate(i);
            break;
        }
    }
    s = s.trimmed();
    // A trailing partial variant ("'bai,pedəl,bai'pe-", "'sɔ:riŋ 'sɔәr-") is cut off too.
    while (s.endsWith(u'-')) {
        qsizetype cut = -1;
        for (const QChar mark : {u',', u'.', u' '})
            cut = std::max(cut, s.lastIndexOf(mark));
        if (cut <= 0)
            return QString();
        s = s.left(cut).trimmed();
    }
    if (s.startsWith(u'-'))
        return QString(); // only the tail of a pronunciation
    return s;
}

bool HasBalancedParentheses(const QString& s) {
    int depth = 0;
    for (const QChar c : s) {
        depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
        if (depth < 0)
            return false;
    }
    return depth == 0;
}

} // namespace

QString EcdictPhoneticToIpa(QStringView phonetic, bool keepSpaces) {
    QString s = phonetic.trimmed().toString();
    // Runs of backslashes stand for ɜ in a few rows ("'kɔnv\\:sli").
    static const QRegularExpression kBackslashes(QStringLiteral("\\\\+"));
    if (s.contains(u'\\'))
        s.replace(kBackslashes, QStringLiteral("ɜ"));
    s = FirstVariant(s);
    if (s.isEmpty())
        return s;

    QString mapped;
    mapped.reserve(s.size() + 4);
    for (const QChar c : s) {
        switch (c.unicode()) {
        case 0x04D9:
            mapped += u'ə';
            break;   // Cyrillic schwa
        case 0x0454: // Cyrillic є
        case 0x03B5:
            mapped += u'e';
            break; // Greek epsilon
        case '^':
        case 'g':
            mapped += u'ɡ';
            break;
        case 'c':
            mapped += u'k';
            break;
        case 'y':
            mapped += u'i';
            break;
        case '\'':
            mapped += u'ˈ';
            break;
        case ':':
            mapped += u'ː';
            break;
        case ',':
        case '.':
            mapped += u'ˌ';
            break;
        case '-':
            break;
        case ' ':
            if (keepSpaces && !mapped.isEmpty() && !mapped.endsWith(u' '))
                mapped += u' ';
            break;
        default:
            mapped += c;
        }
    }
    mapped.replace(QStringLiteral("ɒː"), QStringLiteral("ɔː"));
    mapped.replace(QStringLiteral("əː"), QStringLiteral("ɜː")); // the long vowel of "urban"
    mapped.replace(QStringLiteral("ɒi"), QStringLiteral("ɔi"));
    mapped.replace(QStringLiteral("ou"), QStringLiteral("əu"));
    // A few rows write ʊ as j ("bi'hәjldә"): a j that no vowel follows cannot be /j/.
    mapped.replace(QStringLiteral("jj"), QStringLiteral("jʊ"));
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        if (mapped[i] != u'j')
            continue;
        const QChar next = i + 1 < mapped.size() ? mapped[i + 1] : QChar();
        if (next.isNull() || (next.isLetter() && !IsVowelSymbol(next)))
            mapped[i] = u'ʊ';
    }
    // Short i and u are ɪ and ʊ; long ones carry ː (or an optional "(ː)").
    for (qsizetype i = 0; i < mapped.size(); ++i) {
        const QChar c = mapped[i];
        if (c != u'i' && c != u'u')
            continue;
        const QStringView rest = QStringView(mapped).sliced(i + 1);
        if (rest.startsWith(u'ː') || rest.startsWith(u"(ː)"))
            continue;
        mapped[i] = c == u'i' ? u'ɪ' : u'ʊ';
    }
    if (!HasBalancedParentheses(mapped))
        mapped.remove(u'(').remove(u')');
    mapped = mapped.trimmed();
    bool hasLetter = false;
    for (const QChar c : mapped)
        hasLetter = hasLetter || c.isLetter();
    return hasLetter ? mapped : QString();
}

QString DictIpaToIpa(QStringView ipa) {
    QString s = ipa.trimmed().toString();
    const qsizetype comma = s.indexOf(u',');
    if (comma >= 0)
        s.truncate(comma);
    s.remove(u'/');
    // The list is narrow American; learners' dictionaries write plain r and l.
    s.replace(u'ɹ', u'r').replace(u'ɫ', u'l').replace(u'g', u'ɡ');
    return s.trimmed();
}

bool CIpaDictionary::Load(const QString& path, CDiagnostics& diag) {
    if (!ReadInputFile(path, diag, data_))
        return false;
    const char* p = data_.constData();
    const char* const end = p + data_.size();
    qint64 line = 0;
    while (p < end) {
        ++line;
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (eol == nullptr)
            eol = end;
        std::string_view text(p, static_cast<size_t>(eol - p));
        p = eol + 1;
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        if (text.empty())
            continue;
        const size_t tab = text.find('\t');
        if (tab == std::string_view::npos || tab == 0 || tab + 1 == text.size()) {
            diag.Error(path, line, QStringLiteral("expected \"word<TAB>/ipa/\""));
            return false;
        }
        entries_.emplace(text.substr(0, tab), text.substr(tab + 1));
    }
    return true;
}

QString CIpaDictionary::Find(std::string_view lowerWord) const {
    const auto it = entries_.find(lowerWord);
    if (it == entries_.end())
        return QString();
    return DictIpaToIpa(QString::fromUtf8(it->second.data(), static_cast<qsizetype>(it->second.size())));
}

} // namespace mnemora
