#include "Simplifier.h"

#include <opencc/opencc.h>

namespace mnemora {
namespace {

opencc_t Handle(void* p) {
    return static_cast<opencc_t>(p);
}
bool IsValid(void* p) {
    return p != nullptr && p != reinterpret_cast<void*>(-1);
}

} // namespace

CSimplifier::~CSimplifier() {
    if (IsValid(converter_))
        opencc_close(Handle(converter_));
}

bool CSimplifier::Open(QString& error) {
    if (IsValid(converter_))
        return true;
    converter_ = opencc_open(OPENCC_DEFAULT_CONFIG_TRAD_TO_SIMP);
    if (!IsValid(converter_)) {
        converter_ = nullptr;
        error =
            QStringLiteral("cannot load the OpenCC conversion \"%1\": %2")
                .arg(QLatin1String(OPENCC_DEFAULT_CONFIG_TRAD_TO_SIMP), QString::fromUtf8(opencc_error()));
        return false;
    }
    return true;
}

QString CSimplifier::Convert(const QString& text) const {
    if (!IsValid(converter_) || text.isEmpty())
        return text;
    const QByteArray utf8 = text.toUtf8();
    char* converted =
        opencc_convert_utf8(Handle(converter_), utf8.constData(), static_cast<size_t>(utf8.size()));
    if (converted == nullptr)
        return text;
    QString result = QString::fromUtf8(converted);
    opencc_convert_utf8_free(converted);
    return result;
}

} // namespace mnemora
