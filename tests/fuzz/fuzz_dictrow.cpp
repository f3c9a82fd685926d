// One dictionary row's columns through the builder's rules: the phonetic in both
// spellings, the meaning, the tags and the inflections.
#include "Ecdict.h"
#include "Meaning.h"
#include "Phonetic.h"

#include <cstdlib>

using namespace mnemora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    EcdictPhoneticToIpa(text, false);
    EcdictPhoneticToIpa(text, true);
    DictIpaToIpa(text);
    ShortenMeaning(text);
    ParseTags(bytes);
    for (const ExchangeItem& item : ParseExchange(bytes))
        if (item.value.data() < bytes.data() ||
            item.value.data() + item.value.size() > bytes.data() + bytes.size())
            std::abort();
    return 0;
}
