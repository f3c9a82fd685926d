#pragma once

#include <QIcon>

namespace mnemora {

// The program icon (window, tray, drag and alert), in every size the resource holds.
QIcon ProgramIcon();

} // namespace mnemora
