#include "settings/ui/MyPropertySheet.h"

#include "settings/ui/SetPage.h"
#include "settings/ui/WordPage.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>

namespace mnemora {

CMyPropertySheet::CMyPropertySheet(IOptionsHost& host, IAutostart& autostart, IMessageBox& messages,
                                   QWidget* parent)
    : QDialog(parent), navigation_(new QListWidget(this)), stack_(new QStackedWidget(this)),
      setPage_(new CSetPage(host, autostart, messages, stack_)), wordPage_(new CWordPage(host, stack_)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("选项设置"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    navigation_->setFixedWidth(kNavigationWidth);
    navigation_->setSelectionMode(QAbstractItemView::SingleSelection);
    navigation_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    navigation_->setSpacing(3);
    // Room for the larger of the two pages, so switching pages never resizes the sheet.
    stack_->setMinimumSize(440, 270);
    pages_ = {setPage_, wordPage_};
    for (COptionsPage* page : pages_) {
        navigation_->addItem(page->Caption());
        stack_->addWidget(page);
    }

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(10);
    layout->setVerticalSpacing(10);
    layout->addWidget(navigation_, 0, 0);
    layout->addWidget(stack_, 0, 1);
    layout->addWidget(buttons_, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);

    connect(buttons_, &QDialogButtonBox::accepted, this, &CMyPropertySheet::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &CMyPropertySheet::reject);

    // The first page is current from the start; the second builds itself on first visit.
    navigation_->setCurrentRow(0);
    stack_->setCurrentIndex(0);
    setPage_->Activate();
    connect(navigation_, &QListWidget::currentRowChanged, this, &CMyPropertySheet::OnNavigation);
}

int CMyPropertySheet::ActivePageIndex() const {
    return stack_->currentIndex();
}

bool CMyPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= pages_.size())
        return false;
    if (index == ActivePageIndex())
        return true;
    if (!pages_[ActivePageIndex()]->OnKillActive()) {
        // The list already shows the new row when the user clicked; put it back.
        const QSignalBlocker block(navigation_);
        navigation_->setCurrentRow(ActivePageIndex());
        return false;
    }
    stack_->setCurrentIndex(index);
    pages_[index]->Activate();
    const QSignalBlocker block(navigation_);
    navigation_->setCurrentRow(index);
    return true;
}

void CMyPropertySheet::OnNavigation(int row) {
    SetActivePage(row);
}

void CMyPropertySheet::accept() {
    if (!pages_[ActivePageIndex()]->OnKillActive())
        return;
    for (COptionsPage* page : pages_) {
        if (page->WasShown())
            page->OnOK();
    }
    QDialog::accept();
}

void CMyPropertySheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        Centre();
    }
}

void CMyPropertySheet::Centre() {
    QRect area;
    if (parentWidget())
        area = parentWidget()->window()->frameGeometry();
    else if (const QScreen* s = screen())
        area = s->availableGeometry();
    if (area.isEmpty())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

} // namespace mnemora
