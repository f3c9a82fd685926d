// The module's only entry: the main program resolves it by name on first use.
#include "progress/ProgressWindow.h"

extern "C" __attribute__((visibility("default"))) mnemora::IProgressWindow*
MnemoraCreateProgressWindow(QWidget* parent) {
    return new mnemora::CProgressWindow(parent);
}
