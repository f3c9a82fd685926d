#include "Ecdict.h"

#include "CsvReader.h"
#include "Diagnostics.h"
#include "InputFile.h"

#include <QStringList>
#include <algorithm>
#include <charconv>

namespace mnemora {
namespace {

bool ParseRank(std::string_view text, int& value) {
    value = 0;
    if (text.empty())
        return true;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

} // namespace

unsigned ParseTags(std::string_view tags) {
    static constexpr std::pair<std::string_view, unsigned> kNames[] = {
        {"zk", kTagZk}, {"gk", kTagGk},       {"cet4", kTagCet4},   {"cet6", kTagCet6},
        {"ky", kTagKy}, {"ielts", kTagIelts}, {"toefl", kTagToefl}, {"gre", kTagGre},
    };
    unsigned bits = 0;
    size_t pos = 0;
    while (pos < tags.size()) {
        const size_t space = tags.find(' ', pos);
        const std::string_view name = tags.substr(pos, space == std::string_view::npos ? space : space - pos);
        for (const auto& [text, bit] : kNames) {
            if (name == text)
                bits |= bit;
        }
        if (space == std::string_view::npos)
            break;
        pos = space + 1;
    }
    return bits;
}

std::vector<ExchangeItem> ParseExchange(std::string_view exchange) {
    std::vector<ExchangeItem> items;
    size_t pos = 0;
    while (pos < exchange.size()) {
        size_t slash = exchange.find('/', pos);
        if (slash == std::string_view::npos)
            slash = exchange.size();
        const std::string_view item = exchange.substr(pos, slash - pos);
        if (item.size() > 2 && item[1] == ':' &&
            std::string_view("01pdi3srt").find(item[0]) != std::string_view::npos)
            items.push_back({item[0], item.substr(2)});
        pos = slash + 1;
    }
    return items;
}

std::string_view LemmaOf(const EcdictEntry& entry) {
    for (const ExchangeItem& item : ParseExchange(entry.exchange)) {
        if (item.type == '0' && item.value != entry.word)
            return item.value;
    }
    return {};
}

bool CEcdict::ReadHeader(const std::vector<std::string_view>& fields, CDiagnostics& diag) {
    columns_ = static_cast<int>(fields.size());
    struct Wanted {
        const char* name;
        int* column;
    } wanted[] = {{"word", &colWord_},        {"phonetic", &colPhonetic_}, {"translation", &colTranslation_},
                  {"tag", &colTag_},          {"bnc", &colBnc_},           {"frq", &colFrq_},
                  {"exchange", &colExchange_}};
    QStringList missing;
    for (Wanted& w : wanted) {
        const auto it = std::find(fields.begin(), fields.end(), std::string_view(w.name));
        *w.column = it == fields.end() ? -1 : static_cast<int>(it - fields.begin());
        if (*w.column < 0)
            missing << QString::fromLatin1(w.name);
    }
    if (missing.isEmpty())
        return true;
    diag.Error(path_, 1,
               QStringLiteral("not an ECDICT header: column(s) %1 missing (expected word,phonetic,definition,"
                              "translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio)")
                   .arg(missing.join(QStringLiteral(", "))));
    return false;
}

bool CEcdict::Load(const QString& path, CDiagnostics& diag) {
    path_ = path;
    if (!ReadInputFile(path, diag, data_))
        return false;
    char* const begin = data_.data();
    CCsvReader reader(begin, begin + data_.size());
    std::vector<std::string_view> fields;
    CCsvReader::Status status = reader.Next(fields);
    if (status == CCsvReader::Status::End) {
        diag.Error(path, 0, QStringLiteral("the file is empty"));
        return false;
    }
    if (status == CCsvReader::Status::Error) {
        diag.Error(path, reader.ErrorLine(), reader.ErrorText());
        return false;
    }
    if (!ReadHeader(fields, diag))
        return false;

    entries_.reserve(static_cast<size_t>(data_.size() / 80));
    while ((status = reader.Next(fields)) == CCsvReader::Status::Record) {
        if (static_cast<int>(fields.size()) != columns_) {
            diag.Error(path, reader.RecordLine(),
                       QStringLiteral("expected %1 fields, found %2").arg(columns_).arg(fields.size()));
            return false;
        }
        EcdictEntry entry;
        entry.word = fields[colWord_];
        entry.phonetic = fields[colPhonetic_];
        entry.translation = fields[colTranslation_];
        entry.exchange = fields[colExchange_];
        entry.tags = ParseTags(fields[colTag_]);
        entry.line = reader.RecordLine();
        if (!ParseRank(fields[colFrq_], entry.frq) || !ParseRank(fields[colBnc_], entry.bnc)) {
            diag.Error(path, reader.RecordLine(), QStringLiteral("frq or bnc is not a whole number"));
            return false;
        }
        if (!entry.word.empty())
            entries_.push_back(entry);
    }
    if (status == CCsvReader::Status::Error) {
        diag.Error(path, reader.ErrorLine(), reader.ErrorText());
        return false;
    }

    byWord_.reserve(entries_.size() * 2);
    for (size_t i = 0; i < entries_.size(); ++i)
        byWord_.emplace(entries_[i].word, static_cast<int>(i)); // the first row of a word wins
    IndexForms();
    return true;
}

void CEcdict::IndexForms() {
    for (size_t i = 0; i < entries_.size(); ++i) {
        const EcdictEntry& entry = entries_[i];
        if (entry.exchange.empty() || entry.Rank() == kNoRank)
            continue; // unranked rows are mostly rare or misspelt words: no evidence of a sense
        for (const ExchangeItem& item : ParseExchange(entry.exchange)) {
            if (std::string_view("pdi3s").find(item.type) != std::string_view::npos &&
                item.value != entry.word)
                forms_.push_back({item.value, static_cast<int>(i), item.type});
        }
    }
    std::sort(forms_.begin(), forms_.end(), [](const FormOf& a, const FormOf& b) {
        return a.form != b.form ? a.form < b.form : a.lemma < b.lemma;
    });
}

std::span<const CEcdict::FormOf> CEcdict::LemmasOf(std::string_view form) const {
    const auto range = std::equal_range(forms_.begin(), forms_.end(), FormOf{form, 0, 0},
                                        [](const FormOf& a, const FormOf& b) { return a.form < b.form; });
    return {range.first, range.second};
}

int CEcdict::Find(std::string_view word) const {
    const auto it = byWord_.find(word);
    return it == byWord_.end() ? -1 : it->second;
}

int CEcdict::FindHeadword(const QString& word) const {
    const QByteArray utf8 = word.toUtf8();
    int found = Find(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    if (found >= 0)
        return found;
    const std::string folded = FoldCase(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    found = Find(folded);
    if (found >= 0)
        return found;
    if (byFoldedWord_.empty()) {
        // Only rows with capitals can be missed by the lower-case look-up above.
        for (size_t i = 0; i < entries_.size(); ++i) {
            std::string key = FoldCase(entries_[i].word);
            if (key != entries_[i].word)
                byFoldedWord_.emplace(std::move(key), static_cast<int>(i));
        }
    }
    const auto it = byFoldedWord_.find(folded);
    return it == byFoldedWord_.end() ? -1 : it->second;
}

} // namespace mnemora
