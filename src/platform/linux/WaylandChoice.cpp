#include "platform/PlatformChoice.h"

#include <QByteArray>
#include <QString>

namespace mnemora {

bool ChooseGuiPlatform() {
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!wayland || qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return false;
    return qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace mnemora
