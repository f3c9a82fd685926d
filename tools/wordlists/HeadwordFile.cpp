#include "HeadwordFile.h"

#include "CsvReader.h"
#include "Diagnostics.h"
#include "InputFile.h"

#include <QSet>
#include <utility>
#include <vector>

namespace mnemora {
namespace {

bool IsHeaderCell(const QString& cell) {
    const QString name = cell.trimmed().toLower();
    return name == u"word" || name == u"words" || name == u"headword" || name == u"lemma";
}

} // namespace

bool LoadHeadwordFile(const QString& path, CDiagnostics& diag, QList<Headword>& words) {
    words.clear();
    QByteArray data;
    if (!ReadInputFile(path, diag, data))
        return false;
    const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    QSet<QString> seen;
    bool firstCell = true;
    auto take = [&](const QString& cell, qint64 line) {
        const QString word = cell.simplified();
        if (word.isEmpty() || word.startsWith(u'#'))
            return;
        const bool first = std::exchange(firstCell, false);
        if (csv && first && IsHeaderCell(word))
            return;
        const QString key = word.toLower();
        if (seen.contains(key))
            return;
        seen.insert(key);
        words.append({word, line});
    };
    if (csv) {
        CCsvReader reader(data.data(), data.data() + data.size());
        std::vector<std::string_view> fields;
        CCsvReader::Status status;
        while ((status = reader.Next(fields)) == CCsvReader::Status::Record)
            take(QString::fromUtf8(fields[0].data(), static_cast<qsizetype>(fields[0].size())),
                 reader.RecordLine());
        if (status == CCsvReader::Status::Error) {
            diag.Error(path, reader.ErrorLine(), reader.ErrorText());
            return false;
        }
    } else {
        const QList<QByteArray> lines = data.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i)
            take(QString::fromUtf8(lines[i]), i + 1);
    }
    if (words.isEmpty()) {
        diag.Error(path, 0,
                   QStringLiteral("no headwords in this file (one word per line, or a CSV file whose first "
                                  "column is the word)"));
        return false;
    }
    return true;
}

} // namespace mnemora
