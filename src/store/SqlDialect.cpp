#include "store/SqlDialect.h"

namespace mnemora {
namespace {

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Index one past the closing quote of the quoted run that starts at i.
qsizetype SkipQuoted(const QString& s, qsizetype i) {
    const QChar open = s[i];
    const QChar close = open == u'[' ? QChar(u']') : open;
    qsizetype j = i + 1;
    while (j < s.size()) {
        if (s[j] == close) {
            // A doubled quote inside a literal or quoted name stands for itself.
            if (close != u']' && j + 1 < s.size() && s[j + 1] == close) {
                j += 2;
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return j;
}

} // namespace

QString AdaptJetStatement(const QString& statement) {
    QString out;
    out.reserve(statement.size() + 8);
    QString previousWord; // last bare word seen, upper-cased
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            const qsizetype end = SkipQuoted(statement, i);
            out += QStringView(statement).mid(i, end - i);
            previousWord.clear();
            i = end;
            continue;
        }
        if (IsWordChar(c)) {
            qsizetype end = i;
            while (end < statement.size() && IsWordChar(statement[end]))
                ++end;
            const QStringView word = QStringView(statement).mid(i, end - i);
            const bool keywordUse =
                previousWord == u"CREATE" || previousWord == u"UNIQUE" || previousWord == u"DROP";
            if (word.compare(u"index", Qt::CaseInsensitive) == 0 && !keywordUse) {
                out += u'"';
                out += word;
                out += u'"';
            } else {
                out += word;
            }
            previousWord = word.toString().toUpper();
            i = end;
            continue;
        }
        if (!c.isSpace())
            previousWord.clear();
        out += c;
        ++i;
    }
    return out;
}

} // namespace mnemora
