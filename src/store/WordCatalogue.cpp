#include "store/WordCatalogue.h"

#include <QStringList>

namespace mnemora {

const std::array<TableNameRow, 13> tableNameTable{{
    {"cet4"},
    {"cet6"},
    {"ielts"},
    {"toefl"},
    {"gre"},
    {"toeic"},
    {"tem4"},
    {"tem8"},
    {"nce1"},
    {"nce2"},
    {"nce3"},
    {"nce4"},
    {"qita"},
}};

const CatalogueEntry* FindCatalogueEntry(int category, int listIndex) {
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.category == category && entry.listIndex == listIndex)
            return &entry;
    }
    return nullptr;
}

QStringList DisplayNames(int category) {
    QStringList names;
    for (const CatalogueEntry& entry : kCatalogue) {
        if (entry.category == category)
            names << QString::fromUtf8(entry.displayName);
    }
    return names;
}

QString DbFolderFor(const QString& programFilePath) {
    const qsizetype slash = programFilePath.lastIndexOf(u'/');
    // A path whose only slash is its first character ("/mnemora") counts as having
    // no folder part, as does a bare file name.
    if (slash > 0)
        return programFilePath.left(slash + 1) + QStringLiteral("db/");
    return QStringLiteral("./db/");
}

} // namespace mnemora
