#include "app/ProgramIcon.h"

// The resource lives in a static library, where the linker would drop its unreferenced
// registration; this reference keeps it. Q_INIT_RESOURCE must be used outside a namespace.
static void InitProgramResources() {
    Q_INIT_RESOURCE(mnemora);
}

namespace mnemora {

QIcon ProgramIcon() {
    static const QIcon icon = [] {
        InitProgramResources();
        QIcon result;
        for (const int size : {16, 32, 48, 64, 256})
            result.addFile(QStringLiteral(":/mnemora/mnemora-%1.png").arg(size), QSize(size, size));
        return result;
    }();
    return icon;
}

} // namespace mnemora
