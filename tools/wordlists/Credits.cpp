#include "Credits.h"

#include "SentenceCorpus.h"

#include <QFileInfo>

namespace mnemora {
namespace {

const char kMitTerms[] = "Permission is hereby granted, free of charge, to any person obtaining a copy\n"
                         "of this software and associated documentation files (the \"Software\"), to deal\n"
                         "in the Software without restriction, including without limitation the rights\n"
                         "to use, copy, modify, merge, publish, distribute, sublicense, and/or sell\n"
                         "copies of the Software, and to permit persons to whom the Software is\n"
                         "furnished to do so, subject to the following conditions:\n\n"
                         "The above copyright notice and this permission notice shall be included in all\n"
                         "copies or substantial portions of the Software.\n\n"
                         "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR\n"
                         "IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,\n"
                         "FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE\n"
                         "AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER\n"
                         "LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM,\n"
                         "OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE\n"
                         "SOFTWARE.\n";

const char kWordNetTerms[] = "This software and database is being provided to you, the LICENSEE, by\n"
                             "Princeton University under the following license.  By obtaining, using\n"
                             "and/or copying this software and database, you agree that you have\n"
                             "read, understood, and will comply with these terms and conditions.:\n\n"
                             "Permission to use, copy, modify and distribute this software and\n"
                             "database and its documentation for any purpose and without fee or\n"
                             "royalty is hereby granted, provided that you agree to comply with\n"
                             "the following copyright notice and statements, including the disclaimer,\n"
                             "and that the same appear on ALL copies of the software, database and\n"
                             "documentation, including modifications that you make for internal\n"
                             "use or for distribution.\n\n"
                             "WordNet 3.0 Copyright 2006 by Princeton University.  All rights reserved.\n\n"
                             "THIS SOFTWARE AND DATABASE IS PROVIDED \"AS IS\" AND PRINCETON\n"
                             "UNIVERSITY MAKES NO REPRESENTATIONS OR WARRANTIES, EXPRESS OR\n"
                             "IMPLIED.  BY WAY OF EXAMPLE, BUT NOT LIMITATION, PRINCETON\n"
                             "UNIVERSITY MAKES NO REPRESENTATIONS OR WARRANTIES OF MERCHANT-\n"
                             "ABILITY OR FITNESS FOR ANY PARTICULAR PURPOSE OR THAT THE USE\n"
                             "OF THE LICENSED SOFTWARE, DATABASE OR DOCUMENTATION WILL NOT\n"
                             "INFRINGE ANY THIRD PARTY PATENTS, COPYRIGHTS, TRADEMARKS OR\n"
                             "OTHER RIGHTS.\n\n"
                             "The name of Princeton University or Princeton may not be used in\n"
                             "advertising or publicity pertaining to distribution of the software\n"
                             "and/or database.  Title to copyright in this software, database and\n"
                             "any associated documentation shall at all times remain with\n"
                             "Princeton University and LICENSEE agrees to preserve same.\n";

QString Indented(const char* text) {
    QString out;
    for (const QString& line : QString::fromUtf8(text).split(u'\n'))
        out += line.isEmpty() ? QStringLiteral("\n") : QStringLiteral("    ") + line + u'\n';
    return out;
}

} // namespace

QString CreditsText(const CreditsInput& input, const CSentenceCorpus& corpus) {
    QString text;
    text += QStringLiteral("Mnemora word lists: sources and credits\n"
                           "=======================================\n\n"
                           "These lists were built by the Mnemora word-list builder from open data.\n\n");

    text += QStringLiteral("Lists that are approximations\n-----------------------------\n");
    if (input.approximations.isEmpty())
        text += QStringLiteral("None: every list came from its own source.\n");
    for (const QString& line : input.approximations)
        text += QStringLiteral("- ") + line + u'\n';
    text +=
        QStringLiteral("No openly licensed word list of the real syllabus exists for these; they are chosen\n"
                       "from ECDICT's exam tags and corpus frequencies so that every list has words.\n\n");

    text += QStringLiteral("ECDICT (words, phonetics, Chinese meanings, exam tags, frequency ranks)\n"
                           "------------------------------------------------------------------------\n"
                           "https://github.com/skywind3000/ECDICT (file: %1)\n"
                           "MIT License\n\n    Copyright (c) 2025 Linwei\n\n%2\n")
                .arg(QFileInfo(input.ecdictPath).fileName(), Indented(kMitTerms));

    for (auto it = input.headwordFiles.cbegin(); it != input.headwordFiles.cend(); ++it) {
        text += QStringLiteral("Headword list for %1: %2\n").arg(it.key(), QFileInfo(it.value()).fileName());
        if (it.key() == u"toeic")
            text += QStringLiteral("  When this is the TOEIC Service List (Browne, C. & Culligan, B., 2016, "
                                   "newgeneralservicelist.org),\n  it is licensed CC BY-SA 4.0 "
                                   "(https://creativecommons.org/licenses/by-sa/4.0/), and so is the\n"
                                   "  toeic.dat built from it.\n");
        else
            text += QStringLiteral("  Its own licence terms apply to that list.\n");
    }
    if (!input.headwordFiles.isEmpty())
        text += u'\n';

    if (input.ipaDictionary)
        text += QStringLiteral("ipa-dict, en_US (pronunciations where ECDICT has none)\n"
                               "------------------------------------------------------\n"
                               "https://github.com/open-dict-data/ipa-dict\nThe MIT License (MIT)\n\n"
                               "    Copyright (c) 2016 dohliam\n\n%1\n")
                    .arg(Indented(kMitTerms));

    if (input.wordNet)
        text += QStringLiteral("WordNet 3.0 (English-only example sentences; their Chinese is left empty)\n"
                               "---------------------------------------------------------------------------\n"
                               "https://wordnet.princeton.edu/\n\n%1\n")
                    .arg(Indented(kWordNetTerms));

    if (!input.tatoebaSentences.empty()) {
        text +=
            QStringLiteral("Tatoeba example sentences\n-------------------------\n"
                           "English-Chinese sentence pairs from the Tatoeba Project (https://tatoeba.org),\n"
                           "licensed CC BY 2.0 FR (https://creativecommons.org/licenses/by/2.0/fr/), as "
                           "exported by\nwww.manythings.org/anki. Chinese converted to Simplified script "
                           "where needed.\nEach sentence used, with its authors:\n\n");
        for (const int id : input.tatoebaSentences) {
            const Sentence& sentence = corpus.At(id);
            text += sentence.english + u'\t' + sentence.chinese + u'\t' + sentence.attribution + u'\n';
        }
    }
    return text;
}

} // namespace mnemora
