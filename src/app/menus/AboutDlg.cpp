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

    // Credits the word-list data asks for, and which lists only approximate a syllabus.
    auto* credits =
        new QLabel(QStringLiteral("词库数据：ECDICT (MIT)、Tatoeba 例句 (CC BY 2.0 FR)、WordNet 3.0、\n"
                                  "TOEIC Service List (CC BY-SA 4.0)、ipa-dict (MIT)。\n"
                                  "专业英语四级、专业英语八级与新概念英语第一至四册为按词频等级\n"
                                  "近似选出的词表；详见词库目录中的 CREDITS.txt。"),
                   this);
    credits->setObjectName(QStringLiteral("credits"));
    QFont small = credits->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    credits->setFont(small);

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
    layout->addWidget(credits, 1, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->setRowStretch(2, 1);
    layout->addWidget(ok, 3, 1, Qt::AlignRight);
    // About the size of the classic box (170 x 62 dialog units), never smaller than its contents.
    setFixedSize(sizeHint().expandedTo(QSize(255, 100)));
}

} // namespace mnemora
