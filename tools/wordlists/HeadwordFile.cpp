#include "HeadwordFile.h"

#include "CsvReader.h"
#include "Diagnostics.h"
#include "Ecdict.h"
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

// The dictionary word that equals word but for one letter at pos. A lost letter was not
// ASCII, so such a candidate wins; the dictionary spells some loanwords without their
// accents ("entree"), so a sole ASCII candidate is taken next. Empty when neither is unique.
QString UniqueMatch(const CEcdict& ecdict, const QString& word, qsizetype pos) {
    const QByteArray prefix = word.left(pos).toUtf8();
    const QByteArray suffix = word.mid(pos + 1).toUtf8();
    QString found[2]; // [0] non-ASCII letter, [1] ASCII letter
    bool ambiguous[2] = {false, false};
    for (const EcdictEntry& entry : ecdict.Entries()) {
        const std::string_view w = entry.word;
        const auto middle = static_cast<qsizetype>(w.size()) - prefix.size() - suffix.size();
        if (middle < 1 || middle > 4 || !w.starts_with(std::string_view(prefix.data(), prefix.size())) ||
            !w.ends_with(std::string_view(suffix.data(), suffix.size())))
            continue;
        const QString letter = QString::fromUtf8(w.data() + prefix.size(), middle);
        if (letter.toUcs4().size() != 1 || letter.contains(QChar::ReplacementCharacter) ||
            !letter.at(0).isLetter())
            continue;
        const int kind = middle == 1 ? 1 : 0;
        const QString candidate = QString::fromUtf8(w.data(), static_cast<qsizetype>(w.size()));
        if (!found[kind].isEmpty() && found[kind] != candidate)
            ambiguous[kind] = true;
        found[kind] = candidate;
    }
    if (!found[0].isEmpty())
        return ambiguous[0] ? QString() : found[0];
    return ambiguous[1] ? QString() : found[1];
}

} // namespace

void RecoverLostLetters(const CEcdict& ecdict, const QString& path, CDiagnostics& diag,
                        QList<Headword>& words) {
    for (auto it = words.begin(); it != words.end();) {
        const qsizetype pos = it->word.indexOf(QChar::ReplacementCharacter);
        if (pos < 0) {
            ++it;
            continue;
        }
        const QString match =
            it->word.count(QChar::ReplacementCharacter) == 1 ? UniqueMatch(ecdict, it->word, pos) : QString();
        if (!match.isEmpty()) {
            diag.Warning(path, it->line,
                         QStringLiteral("\"%1\" has a lost letter; read as \"%2\"").arg(it->word, match));
            it->word = match;
            ++it;
        } else {
            diag.Warning(path, it->line,
                         QStringLiteral("\"%1\" has a lost letter that no dictionary word restores; left out")
                             .arg(it->word));
            it = words.erase(it);
        }
    }
}

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
