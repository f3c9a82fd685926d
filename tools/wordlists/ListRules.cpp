#include "ListRules.h"

#include "Diagnostics.h"
#include "Ecdict.h"
#include "HeadwordFile.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <unordered_set>

namespace mnemora {
namespace {

constexpr ListRule kRules[] = {
    {"cet4", ListRule::Kind::Tag, kTagCet4, 0, 0, false, "ECDICT tag cet4"},
    {"cet6", ListRule::Kind::Tag, kTagCet6, 0, 0, false, "ECDICT tag cet6"},
    {"ielts", ListRule::Kind::Tag, kTagIelts, 0, 0, false, "ECDICT tag ielts"},
    {"toefl", ListRule::Kind::Tag, kTagToefl, 0, 0, false, "ECDICT tag toefl"},
    {"gre", ListRule::Kind::Tag, kTagGre, 0, 0, false, "ECDICT tag gre"},
    {"toeic", ListRule::Kind::Business, 0, 0, 0, true,
     "stand-in: business and workplace words of ECDICT's exam vocabulary"},
    {"tem4", ListRule::Kind::Bands, 0, 1, 4, true, "stand-in: ECDICT level bands 1-4 (up to CET-6/考研)"},
    {"tem8", ListRule::Kind::Bands, 0, 1, 6, true, "stand-in: ECDICT level bands 1-6 (all exam words)"},
    {"nce1", ListRule::Kind::Bands, 0, 1, 1, true, "stand-in: ECDICT level band 1 (中考)"},
    {"nce2", ListRule::Kind::Bands, 0, 2, 2, true, "stand-in: ECDICT level band 2 (高考)"},
    {"nce3", ListRule::Kind::Bands, 0, 3, 3, true, "stand-in: ECDICT level band 3 (CET-4)"},
    {"nce4", ListRule::Kind::Bands, 0, 4, 4, true, "stand-in: ECDICT level band 4 (CET-6/考研)"},
};

bool IsLowerAscii(std::string_view word) {
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// "accidents" of "accident", "boxes" of "box", "activities" of "activity".
bool IsRegularPlural(std::string_view word, std::string_view lemma) {
    auto is = [&](std::string_view stem, std::string_view suffix) {
        return word.size() == stem.size() + suffix.size() && word.substr(0, stem.size()) == stem &&
               word.substr(stem.size()) == suffix;
    };
    return is(lemma, "s") || is(lemma, "es") ||
           (lemma.size() > 1 && lemma.back() == 'y' && is(lemma.substr(0, lemma.size() - 1), "ies"));
}

// The lemma row a plural row stands for, or the row itself.
int FoldPlural(const CEcdict& ecdict, int row) {
    const EcdictEntry& entry = ecdict.At(row);
    if (!IsLowerAscii(entry.word))
        return row;
    std::string_view lemma;
    std::string_view kinds;
    for (const ExchangeItem& item : ParseExchange(entry.exchange)) {
        if (item.type == '0')
            lemma = item.value;
        else if (item.type == '1')
            kinds = item.value;
    }
    const bool pluralOnly =
        kinds.find('s') != std::string_view::npos && kinds.find_first_not_of("s3") == std::string_view::npos;
    if (lemma.empty() || lemma == entry.word || !pluralOnly || !IsRegularPlural(entry.word, lemma))
        return row;
    const int lemmaRow = ecdict.Find(lemma);
    return lemmaRow >= 0 && ecdict.At(lemmaRow).tags != 0 ? lemmaRow : row;
}

void SortRows(const CEcdict& ecdict, std::vector<int>& rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return ecdict.At(a).Rank() < ecdict.At(b).Rank(); });
}

std::vector<ListMember> AsMembers(const CEcdict& ecdict, const std::vector<int>& rows) {
    std::vector<ListMember> members;
    members.reserve(rows.size());
    for (const int row : rows) {
        const std::string_view word = ecdict.At(row).word;
        members.push_back({row, QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()))});
    }
    return members;
}

std::vector<int> BandRows(const CEcdict& ecdict, int firstBand, int lastBand) {
    std::vector<int> rows;
    const auto& entries = ecdict.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const int band = SubstituteBand(entries[i]);
        if (band >= firstBand && band <= lastBand && band > 0)
            rows.push_back(static_cast<int>(i));
    }
    SortRows(ecdict, rows);
    return rows;
}

} // namespace

const ListRule* FindListRule(const QString& table) {
    for (const ListRule& rule : kRules) {
        if (table == QLatin1String(rule.table))
            return &rule;
    }
    return nullptr;
}

std::vector<int> TaggedRows(const CEcdict& ecdict, unsigned tag) {
    std::vector<int> rows;
    std::unordered_set<int> seen;
    const auto& entries = ecdict.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        if ((entries[i].tags & tag) == 0)
            continue;
        const int row = FoldPlural(ecdict, static_cast<int>(i));
        if (seen.insert(row).second)
            rows.push_back(row);
    }
    SortRows(ecdict, rows);
    return rows;
}

int SubstituteBand(const EcdictEntry& entry) {
    if (entry.tags == 0 || entry.Rank() == kNoRank || !LemmaOf(entry).empty())
        return 0;
    const std::string_view word = entry.word;
    const size_t hyphen = word.find('-');
    if (hyphen == std::string_view::npos) {
        if (!IsLowerAscii(word))
            return 0;
    } else if (!IsLowerAscii(word.substr(0, hyphen)) || !IsLowerAscii(word.substr(hyphen + 1))) {
        return 0;
    }
    if (entry.tags & kTagZk)
        return 1;
    if (entry.tags & kTagGk)
        return 2;
    if (entry.tags & kTagCet4)
        return 3;
    if (entry.tags & (kTagCet6 | kTagKy))
        return 4;
    if (entry.tags & (kTagIelts | kTagToefl))
        return 5;
    return 6;
}

bool HasBusinessSense(QStringView translation) {
    static const QRegularExpression kKeywords(
        QStringLiteral("公司|商业|商务|商品|商店|贸易|顾客|客户|销售|出售|雇|合同|办公|经理|会议|预订|预约|"
                       "发票|账|帐|财务|付款|"
                       "价格|费用|投资|市场|营业|职员|员工|招聘|广告|货物|旅行|旅馆|饭店|航班|机票|工资|薪|"
                       "租|保险|银行|税|股票|"
                       "利润|管理|部门|申请|会计|预算|交付|维修|设备|订购|订单|生产|工厂|产品|经济|金融|收入|"
                       "支出|贷款|债|信用|"
                       "营销|业务|职业|职位|退款|折扣|库存|运输|物流|快递|邮件|文件|报告|日程|简历|面试"));
    QString text = translation.toString();
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    for (const QString& line : text.split(u'\n')) {
        // Other subject fields ([计] [医] [法] ...) would bring in technical senses.
        const bool everyday = !line.startsWith(u'[') || line.startsWith(QStringLiteral("[经]")) ||
                              line.startsWith(QStringLiteral("[贸易]"));
        if (everyday && kKeywords.match(line).hasMatch())
            return true;
    }
    return false;
}

std::vector<int> BusinessRows(const CEcdict& ecdict) {
    std::vector<int> rows;
    const auto& entries = ecdict.Entries();
    for (size_t i = 0; i < entries.size(); ++i) {
        const EcdictEntry& entry = entries[i];
        if (SubstituteBand(entry) < 2)
            continue;
        if (HasBusinessSense(QString::fromUtf8(entry.translation.data(),
                                               static_cast<qsizetype>(entry.translation.size()))))
            rows.push_back(static_cast<int>(i));
    }
    SortRows(ecdict, rows);
    if (rows.size() > static_cast<size_t>(kBusinessListSize))
        rows.resize(kBusinessListSize);
    return rows;
}

std::vector<ListMember> MembersByRule(const CEcdict& ecdict, const ListRule& rule) {
    switch (rule.kind) {
    case ListRule::Kind::Tag:
        return AsMembers(ecdict, TaggedRows(ecdict, rule.tag));
    case ListRule::Kind::Bands:
        return AsMembers(ecdict, BandRows(ecdict, rule.firstBand, rule.lastBand));
    case ListRule::Kind::Business:
        return AsMembers(ecdict, BusinessRows(ecdict));
    }
    return {};
}

std::vector<ListMember> ResolveHeadwords(const CEcdict& ecdict, const QList<Headword>& headwords,
                                         const QString& path, CDiagnostics& diag) {
    constexpr int kMaxReported = 20; // a list in the wrong language should not flood the terminal
    std::vector<ListMember> members;
    std::unordered_set<int> seen;
    int missing = 0;
    for (const Headword& headword : headwords) {
        const int row = ecdict.FindHeadword(headword.word);
        if (row < 0) {
            if (++missing <= kMaxReported)
                diag.Warning(path, headword.line,
                             QStringLiteral("\"%1\" is not in ECDICT; skipped").arg(headword.word));
            continue;
        }
        if (seen.insert(row).second)
            members.push_back({row, headword.word});
    }
    if (missing > kMaxReported)
        diag.Warning(
            path, 0,
            QStringLiteral("%1 more headwords are not in ECDICT; skipped").arg(missing - kMaxReported));
    return members;
}

void SortByFrequency(const CEcdict& ecdict, std::vector<ListMember>& members) {
    std::stable_sort(members.begin(), members.end(), [&](const ListMember& a, const ListMember& b) {
        return ecdict.At(a.entry).Rank() < ecdict.At(b.entry).Rank();
    });
}

} // namespace mnemora
