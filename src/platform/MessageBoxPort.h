#pragma once

#include <QString>

namespace mnemora {

// The icon a modal message box carries; Plain is a box with only an OK button and no icon.
enum class MessageIcon { Plain, Error, Information };

// Modal message boxes reach the user through this port so that layers below the
// window code stay free of widgets and tests never block on a modal box.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    virtual void ShowMessage(const QString& text, MessageIcon icon) = 0;
};

// Swallows every message; for code paths that have no user to tell.
class NullMessageBox final : public IMessageBox {
public:
    void ShowMessage(const QString&, MessageIcon) override {}
};

} // namespace mnemora
