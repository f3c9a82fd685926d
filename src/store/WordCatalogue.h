#pragma once

#include <QString>
#include <array>

namespace mnemora {

// The twelve fixed word lists. A list's key is (category, listIndex): category 0 holds
// the eight exam lists, category 1 the four course-book lists.
inline constexpr int kExamCategory = 0;
inline constexpr int kStudyCategory = 1;
inline constexpr int kExamListCount = 8;
inline constexpr int kStudyListCount = 4;

struct CatalogueEntry {
    int category;
    int listIndex;
    const char* displayName; // UTF-8
    const char* file;
    const char* table;
};

inline constexpr std::array<CatalogueEntry, 12> kCatalogue{{
    {0, 0, "大学英语四级", "cet4.dat", "cet4"},
    {0, 1, "大学英语六级", "cet6.dat", "cet6"},
    {0, 2, "雅思考试", "ielts.dat", "ielts"},
    {0, 3, "托福考试", "toefl.dat", "toefl"},
    {0, 4, "GRE考试", "gre.dat", "gre"},
    {0, 5, "托业考试", "toeic.dat", "toeic"},
    {0, 6, "专业英语四级", "tem4.dat", "tem4"},
    {0, 7, "专业英语八级", "tem8.dat", "tem8"},
    {1, 0, "新概念英语NCE 第一册", "nce.dat", "nce1"},
    {1, 1, "新概念英语NCE 第二册", "nce.dat", "nce2"},
    {1, 2, "新概念英语NCE 第三册", "nce.dat", "nce3"},
    {1, 3, "新概念英语NCE 第四册", "nce.dat", "nce4"},
}};

// The 8-bit table names the SELECT uses: rows 0..7 the exam tables, rows 8..12 the
// study positions 0..4. Row 12 has no file and no display name; no valid key reaches it.
using TableNameRow = std::array<char, 32>;
extern const std::array<TableNameRow, 13> tableNameTable;

inline constexpr char kProviderName[] = "Microsoft.Jet.OLEDB.4.0";
inline constexpr char kDatabasePassword[] = "###K777k$$$P888p";

inline constexpr char kExamCategoryLabel[] = "英语考试类：";
inline constexpr char kStudyCategoryLabel[] = "英语学习类：";

// Number of lists in a category (anything but 1 counts as the exam category).
constexpr int ListCount(int category) {
    return category == kStudyCategory ? kStudyListCount : kExamListCount;
}

// The catalogue entry of a key, or nullptr when the key names no list.
const CatalogueEntry* FindCatalogueEntry(int category, int listIndex);

// Display names of one category in drop-down order.
QStringList DisplayNames(int category);

// The folder of the word-list files for a program at programFilePath: the program's
// folder followed by "db/", or "./db/" when the path has no folder part.
QString DbFolderFor(const QString& programFilePath);

} // namespace mnemora
