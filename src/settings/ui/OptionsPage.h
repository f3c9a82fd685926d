#pragma once

#include <QString>
#include <QWidget>

namespace mnemora {

// One page of the options sheet. A page builds its state from the settings the first
// time it becomes current, may refuse to be left, and takes part in OK only when it
// has been shown since the sheet opened.
class COptionsPage : public QWidget {
public:
    using QWidget::QWidget;

    virtual QString Caption() const = 0;

    // Called each time the page becomes current.
    void Activate() {
        if (!shown_) {
            shown_ = true;
            OnInitDialog();
        }
    }
    bool WasShown() const { return shown_; }

    // Asked before the page is left for another page or OK is taken while it is current;
    // false keeps the sheet open on this page.
    virtual bool OnKillActive() { return true; }
    // Stores the page's values; the sheet calls it on OK for every page shown.
    virtual void OnOK() = 0;

protected:
    virtual void OnInitDialog() = 0;

private:
    bool shown_ = false;
};

} // namespace mnemora
