// The progress module's root object: the main program loads it as a Qt plugin the first
// time the window is opened.
#include "study/ProgressModule.h"
#include "progress/ProgressWindow.h"

#include <QObject>

namespace mnemora {

class CProgressModule final : public QObject, public IProgressModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MNEMORA_PROGRESS_MODULE_IID)
    Q_INTERFACES(mnemora::IProgressModule)

public:
    IProgressWindow* CreateWindow(QWidget* parent) override { return new CProgressWindow(parent); }
};

} // namespace mnemora

#include "ProgressModule.moc"
