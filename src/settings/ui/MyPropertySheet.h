#pragma once

#include <QDialog>
#include <QList>

class QDialogButtonBox;
class QListWidget;
class QStackedWidget;

namespace mnemora {

class COptionsPage;
class CSetPage;
class CWordPage;
class IAutostart;
class IMessageBox;
class IOptionsHost;

// The options sheet: page captions in a list on the left, the current page beside it,
// OK and Cancel below. Run it modally and destroy it afterwards; the caller then reloads
// the word timings and re-arms the timers, whatever the result.
class CMyPropertySheet final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kNavigationWidth = 100;

    // With no parent the sheet is centred on the screen, otherwise over the parent.
    CMyPropertySheet(IOptionsHost& host, IAutostart& autostart, IMessageBox& messages,
                     QWidget* parent = nullptr);

    CSetPage& SetPage() const { return *setPage_; }
    CWordPage& WordPage() const { return *wordPage_; }
    QListWidget* Navigation() const { return navigation_; }
    QDialogButtonBox* Buttons() const { return buttons_; }

    int ActivePageIndex() const;
    // Makes another page current; false (and the current page kept) when the current
    // page refuses to be left.
    bool SetActivePage(int index);

    // OK: the current page's check first; then every page shown so far stores its values.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnNavigation(int row);
    void Centre();

    QListWidget* navigation_;
    QStackedWidget* stack_;
    CSetPage* setPage_;
    CWordPage* wordPage_;
    // Made after the pages: Tab goes from the list through the page to OK and Cancel.
    QDialogButtonBox* buttons_;
    QList<COptionsPage*> pages_;
    bool centred_ = false;
};

} // namespace mnemora
