#include "app/menus/AboutDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace mnemora {

CAboutDlg::CAboutDlg(const QIcon& icon, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Mnemora"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    const QIcon shown = icon.isNull() ? QApplication::windowIcon() : icon;
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("icon"));
    picture->setPixmap(shown.pixmap(32, 32));
    picture->setFixedSize(32, 32);

    auto* text = new QLabel(QStringLiteral("Mnemora, Version 1.2"), this);
    text->setObjectName(QStringLiteral("version"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(75);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 12, 12);
    layout->setHorizontalSpacing(16);
    layout->addWidget(picture, 0, 0, Qt::AlignTop);
    layout->addWidget(text, 0, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->setRowStretch(1, 1);
    layout->addWidget(ok, 2, 1, Qt::AlignRight);
    // About the size of the classic box (170 x 62 dialog units), never smaller than its contents.
    setFixedSize(sizeHint().expandedTo(QSize(255, 100)));
}

} // namespace mnemora
