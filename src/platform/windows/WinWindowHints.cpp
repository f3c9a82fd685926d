#include "platform/WindowHints.h"

#include <QWindow>

#include <windows.h>

namespace mnemora {
namespace {
HWND HandleOf(QWindow* window) {
    return window == nullptr ? nullptr : reinterpret_cast<HWND>(window->winId());
}
} // namespace

// A tool window gets no taskbar button.
void KeepOutOfTaskbar(QWindow* window) {
    if (HWND hwnd = HandleOf(window)) {
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                          (style | WS_EX_TOOLWINDOW) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    }
}

bool CanKeepAboveInPlace() {
    return true;
}

void SetKeepAbove(QWindow* window, bool above) {
    if (HWND hwnd = HandleOf(window))
        SetWindowPos(hwnd, above ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

} // namespace mnemora
