#pragma once

#include <QString>

namespace mnemora {

// Traditional → Simplified Chinese through the system's OpenCC library (t2s).
class CSimplifier final {
public:
    CSimplifier() = default;
    ~CSimplifier();
    CSimplifier(const CSimplifier&) = delete;
    CSimplifier& operator=(const CSimplifier&) = delete;

    // Loads the conversion tables; false with error set when OpenCC or its data is missing.
    bool Open(QString& error);
    // The text in Simplified script (unchanged when it already is).
    QString Convert(const QString& text) const;

private:
    void* converter_ = nullptr;
};

} // namespace mnemora
