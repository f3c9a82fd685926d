#pragma once

#include <QString>

namespace mnemora {

// ECDICT's translation column shortened to a learner-dictionary line:
// lines that start with a part of speech are kept (at most three, one per part of
// speech, a. → adj., ad. → adv.), each with its first three senses joined by "；";
// lines are separated by two spaces. Subject-field lines ("[计] ..."), person-name
// senses and inflection notes ("leave的过去式") are dropped. Without any part-of-speech
// line the first plain line is used, failing that the first subject-field line without
// its label, and failing that an inflection note itself. Empty only when the translation
// has no text at all.
QString ShortenMeaning(QStringView translation);

} // namespace mnemora
