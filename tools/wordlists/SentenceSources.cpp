#include "SentenceSources.h"

#include "Diagnostics.h"
#include "InputFile.h"
#include "SentenceCorpus.h"
#include "Simplifier.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <vector>

namespace mnemora {
namespace {

// Calls fn(line number, line text) for each line; stops when fn returns false.
template <typename Fn> bool ForEachLine(const QByteArray& data, Fn fn) {
    qint64 number = 0;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        ++number;
        QByteArrayView line(data.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        if (!fn(number, line))
            return false;
        start = end + 1;
    }
    return true;
}

// Fields of a line split at sep, as views into it.
QList<QByteArrayView> Split(QByteArrayView line, char sep) {
    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (;;) {
        const qsizetype at = line.indexOf(sep, start);
        if (at < 0) {
            fields.append(line.sliced(start));
            return fields;
        }
        fields.append(line.sliced(start, at - start));
        start = at + 1;
    }
}

QStringList WordNetLemmas(const QStringList& words) {
    QStringList lemmas;
    for (QString word : words) {
        word.replace(u'_', u' ');
        for (const QString& marker : {QStringLiteral("(a)"), QStringLiteral("(p)"), QStringLiteral("(ip)")}) {
            if (word.endsWith(marker))
                word.chop(marker.size());
        }
        lemmas << word.toLower();
    }
    return lemmas;
}

void AddExamples(const QString& gloss, const QStringList& lemmas, CSentenceCorpus& corpus) {
    qsizetype open = gloss.indexOf(u'"');
    while (open >= 0) {
        const qsizetype close = gloss.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        const QString example = gloss.mid(open + 1, close - open - 1).trimmed();
        if (example.count(u' ') >= 2) {
            Sentence sentence;
            sentence.english = AsSentence(example);
            sentence.lemmas = lemmas;
            sentence.source = SentenceSource::WordNet;
            corpus.Add(std::move(sentence));
        }
        open = gloss.indexOf(u'"', close + 1);
    }
}

bool LoadWordNetDataFile(const QString& path, CSentenceCorpus& corpus, CDiagnostics& diag) {
    QByteArray data;
    if (!ReadInputFile(path, diag, data))
        return false;
    return ForEachLine(data, [&](qint64 number, QByteArrayView line) {
        if (line.isEmpty() || line.startsWith(' '))
            return true; // the licence text at the top
        const qsizetype bar = line.indexOf(QByteArrayView(" | "));
        const QList<QByteArrayView> fields = Split(line.first(bar < 0 ? line.size() : bar), ' ');
        bool ok = false;
        const int count = fields.size() > 3 ? fields[3].toInt(&ok, 16) : 0;
        if (bar < 0 || !ok || fields.size() < 4 + 2 * count) {
            diag.Error(path, number, QStringLiteral("not a WordNet data line"));
            return false;
        }
        QStringList words;
        for (int i = 0; i < count; ++i)
            words << QString::fromUtf8(fields[4 + 2 * i]);
        AddExamples(QString::fromUtf8(line.sliced(bar + 3)), WordNetLemmas(words), corpus);
        return true;
    });
}

} // namespace

QString AsSentence(QString example) {
    example.replace(u'`', u'\'').replace(QStringLiteral("--"), QStringLiteral("—"));
    example = example.simplified();
    for (QChar& c : example) {
        if (c.isLetter()) {
            c = c.toUpper(); // also behind an opening quote: "'all men are mortal' is ..."
            break;
        }
    }
    if (!example.isEmpty() &&
        (example.back().isLetterOrNumber() || example.back() == u'\'' || example.back() == u')'))
        example += u'.';
    return example;
}

bool LoadTatoeba(const QString& path, const CSimplifier& simplifier, CSentenceCorpus& corpus,
                 CDiagnostics& diag) {
    QByteArray data;
    if (!ReadInputFile(path, diag, data))
        return false;
    struct Pair {
        Sentence sentence;
        bool alreadySimplified;
    };
    std::vector<Pair> pairs;
    QHash<QString, size_t> byEnglish;
    const bool ok = ForEachLine(data, [&](qint64 number, QByteArrayView line) {
        if (line.trimmed().isEmpty())
            return true;
        const QList<QByteArrayView> fields = Split(line, '\t');
        if (fields.size() != 3) {
            diag.Error(path, number,
                       QStringLiteral("expected English<TAB>Chinese<TAB>attribution, found %1 field(s)")
                           .arg(fields.size()));
            return false;
        }
        Sentence sentence;
        sentence.english = QString::fromUtf8(fields[0]).simplified();
        const QString chinese = QString::fromUtf8(fields[1]).trimmed();
        sentence.chinese = simplifier.Convert(chinese);
        sentence.attribution = QString::fromUtf8(fields[2]).trimmed();
        if (sentence.english.isEmpty())
            return true;
        const bool alreadySimplified = sentence.chinese == chinese;
        const auto known = byEnglish.constFind(sentence.english);
        if (known == byEnglish.constEnd()) {
            byEnglish.insert(sentence.english, pairs.size());
            pairs.push_back({std::move(sentence), alreadySimplified});
        } else {
            Pair& first = pairs[*known];
            if ((!first.alreadySimplified && alreadySimplified) ||
                (first.sentence.chinese.isEmpty() && !sentence.chinese.isEmpty()))
                first = {std::move(sentence), alreadySimplified};
        }
        return true;
    });
    if (!ok)
        return false;
    for (Pair& pair : pairs)
        corpus.Add(std::move(pair.sentence));
    return true;
}

bool LoadWordNetDir(const QString& dir, CSentenceCorpus& corpus, CDiagnostics& diag) {
    if (!QFileInfo(dir).isDir()) {
        diag.Error(dir, 0, QStringLiteral("not a folder (expected WordNet's data folder)"));
        return false;
    }
    int found = 0;
    for (const char* name : {"data.noun", "data.verb", "data.adj", "data.adv"}) {
        const QString path = QDir(dir).filePath(QLatin1String(name));
        if (!QFileInfo::exists(path))
            continue;
        ++found;
        if (!LoadWordNetDataFile(path, corpus, diag))
            return false;
    }
    if (found == 0) {
        diag.Error(dir, 0,
                   QStringLiteral("no WordNet data files (data.noun, data.verb, data.adj, data.adv)"));
        return false;
    }
    return true;
}

bool LoadWordNetTable(const QString& path, CSentenceCorpus& corpus, CDiagnostics& diag) {
    QByteArray data;
    if (!ReadInputFile(path, diag, data))
        return false;
    return ForEachLine(data, [&](qint64 number, QByteArrayView line) {
        const QList<QByteArrayView> fields = Split(line, '\t');
        if (number == 1) {
            if (fields.size() == 4 && fields[2] == "lemmas" && fields[3] == "example")
                return true;
            diag.Error(path, number,
                       QStringLiteral("expected the header synset_offset<TAB>pos<TAB>lemmas<TAB>example"));
            return false;
        }
        if (line.isEmpty())
            return true;
        if (fields.size() != 4) {
            diag.Error(path, number,
                       QStringLiteral("expected 4 tab-separated fields, found %1").arg(fields.size()));
            return false;
        }
        const QString example = QString::fromUtf8(fields[3]).trimmed();
        if (example.count(u' ') < 2)
            return true;
        Sentence sentence;
        sentence.english = AsSentence(example);
        sentence.lemmas = WordNetLemmas(QString::fromUtf8(fields[2]).split(u'|'));
        sentence.source = SentenceSource::WordNet;
        corpus.Add(std::move(sentence));
        return true;
    });
}

} // namespace mnemora
