#pragma once

#include "platform/MessageBoxPort.h"

#include <QList>
#include <QPair>

// Records every message box instead of showing it.
class RecordingMessageBox final : public mnemora::IMessageBox {
public:
    void ShowMessage(const QString& text, mnemora::MessageIcon icon) override { shown.append({text, icon}); }
    QList<QPair<QString, mnemora::MessageIcon>> shown;
};
