#include "Meaning.h"

#include <QRegularExpression>
#include <QStringList>

namespace mnemora {
namespace {

constexpr int kMaxLines = 3;
constexpr int kMaxSenses = 3;

const QRegularExpression& PartOfSpeech() {
    static const QRegularExpression re(
        QStringLiteral("^(n|v|vt|vi|a|adj|ad|adv|prep|conj|pron|art|num|int|interj|aux|pl|abbr)\\.\\s*"));
    return re;
}

// "( graduate的名词复数 )" inside a sense, and senses that are only such a note.
const QRegularExpression& InflectionNote() {
    static const QRegularExpression re(QStringLiteral(
        "[（(]\\s*[A-Za-z'\\- "
        "]*的[^()（）]*(复数|过去式|过去分词|现在分词|第三人称单数|比较级|最高级)[^()（）]*[）)]"));
    return re;
}
const QRegularExpression& InflectionSense() {
    static const QRegularExpression re(
        QStringLiteral("^[A-Za-z'\\- ]+的.*(复数|过去式|过去分词|现在分词|第三人称单数|比较级|最高级)"));
    return re;
}

// A subject-field label in front of a sense.
const QRegularExpression& FieldLabel() {
    static const QRegularExpression re(QStringLiteral("^\\s*\\[[^\\[\\]]{1,6}\\]\\s*"));
    return re;
}

// Splits a line's body into senses at commas and semicolons that are not inside brackets,
// so "使(马,鹰等)戴头罩" stays whole.
QStringList SplitSenses(QStringView body) {
    QStringList senses;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c == u'(' || c == u'（' || c == u'【' || c == u'<' || c == u'《' || c == u'〈')
            ++depth;
        else if (c == u')' || c == u'）' || c == u'】' || c == u'>' || c == u'》' || c == u'〉')
            depth = std::max(0, depth - 1);
        else if (depth == 0 && (c == u',' || c == u'，' || c == u';' || c == u'；')) {
            senses << body.sliced(start, i - start).toString();
            start = i + 1;
        }
    }
    senses << body.sliced(start).toString();
    return senses;
}

// Square brackets that do not pair up ("[对...厌倦的") are typing slips; drop them.
QString WithoutStrayBrackets(QString sense) {
    int depth = 0;
    bool balanced = true;
    for (const QChar c : sense) {
        depth += c == u'[' ? 1 : c == u']' ? -1 : 0;
        balanced = balanced && depth >= 0;
    }
    if (!balanced || depth != 0)
        sense.remove(u'[').remove(u']');
    return sense;
}

// The first kMaxSenses usable senses of a line body, joined; empty when none is usable.
// Inflection notes ("rive的过去分词") count only when keepNotes is set.
QString ShortSenses(QStringView body, bool& nameLine, bool keepNotes = false) {
    QStringList kept;
    const QStringList senses = SplitSenses(body);
    nameLine = !senses.isEmpty() && senses.first().contains(QStringLiteral("人名"));
    for (QString sense : senses) {
        if (!keepNotes)
            sense.replace(InflectionNote(), QString());
        sense.replace(FieldLabel(), QString()); // "[医]脱水的" → "脱水的"
        sense.replace(QStringLiteral("<<"), QStringLiteral("《"))
            .replace(QStringLiteral(">>"), QStringLiteral("》"));
        sense = WithoutStrayBrackets(sense).simplified();
        if (sense.isEmpty() || sense.contains(QStringLiteral("人名")) ||
            (!keepNotes && InflectionSense().match(sense).hasMatch()) || kept.contains(sense))
            continue;
        kept << sense;
        if (kept.size() == kMaxSenses)
            break;
    }
    return kept.join(u'；');
}

QString NormalisedPos(QStringView pos) {
    if (pos == u"a")
        return QStringLiteral("adj.");
    if (pos == u"ad")
        return QStringLiteral("adv.");
    return pos.toString() + u'.';
}

} // namespace

QString ShortenMeaning(QStringView translation) {
    QString text = translation.toString();
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(u'\n');

    QStringList kept;
    QStringList seenPos;
    QString firstPlain;
    QString firstField;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        bool nameLine = false;
        if (line.startsWith(u'[')) {
            if (firstField.isEmpty()) {
                const qsizetype close = line.indexOf(u']');
                firstField = ShortSenses(QStringView(line).sliced(close < 0 ? 1 : close + 1), nameLine);
            }
            continue;
        }
        const QRegularExpressionMatch pos = PartOfSpeech().match(line);
        if (!pos.hasMatch()) {
            if (firstPlain.isEmpty())
                firstPlain = ShortSenses(line, nameLine);
            continue;
        }
        const QString partOfSpeech = NormalisedPos(pos.capturedView(1));
        if (kept.size() == kMaxLines || seenPos.contains(partOfSpeech))
            continue;
        const QString senses = ShortSenses(QStringView(line).sliced(pos.capturedLength()), nameLine);
        if (senses.isEmpty() || nameLine)
            continue;
        seenPos << partOfSpeech;
        kept << partOfSpeech + u' ' + senses;
    }
    if (!kept.isEmpty())
        return kept.join(QStringLiteral("  "));
    if (!firstPlain.isEmpty())
        return firstPlain;
    if (!firstField.isEmpty())
        return firstField;
    // Only an inflection note ("rive的过去分词"): better than no meaning at all.
    for (const QString& raw : lines) {
        bool nameLine = false;
        const QString note = ShortSenses(raw.trimmed(), nameLine, true);
        if (!note.isEmpty())
            return note;
    }
    return QString();
}

} // namespace mnemora
