#include "Tokenizer.h"

namespace mnemora {
namespace {

bool IsJoiner(QChar c) {
    return c == u'\'' || c == u'’' || c == u'-';
}

} // namespace

QList<Token> Tokenize(QStringView text) {
    QList<Token> tokens;
    bool initial = true;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (!text[i].isLetter()) {
            if (text[i] == u'.' || text[i] == u'!' || text[i] == u'?')
                initial = true;
            ++i;
            continue;
        }
        const qsizetype start = i;
        for (;;) {
            while (i < n && text[i].isLetter())
                ++i;
            if (i + 1 < n && IsJoiner(text[i]) && text[i + 1].isLetter()) {
                i += 2;
                continue;
            }
            break;
        }
        Token token;
        token.start = start;
        token.length = i - start;
        token.lower = text.sliced(start, token.length).toString().toLower();
        token.lower.replace(u'’', u'\'');
        token.capitalised = text[start].isUpper();
        token.sentenceInitial = initial;
        initial = false;
        tokens.append(std::move(token));
    }
    return tokens;
}

QString WithoutClitic(const QString& lowerToken) {
    static const QString kClitics[] = {QStringLiteral("'s"),  QStringLiteral("'ll"), QStringLiteral("'re"),
                                       QStringLiteral("'ve"), QStringLiteral("'d"),  QStringLiteral("'m")};
    for (const QString& clitic : kClitics) {
        if (lowerToken.size() > clitic.size() + 1 && lowerToken.endsWith(clitic))
            return lowerToken.left(lowerToken.size() - clitic.size());
    }
    return QString();
}

} // namespace mnemora
