#pragma once

#include <QDialog>
#include <QIcon>

namespace mnemora {

// The About box: the program icon, name and version, and an OK button that closes it.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    // A null icon stands for the application's window icon.
    explicit CAboutDlg(const QIcon& icon = QIcon(), QWidget* parent = nullptr);
};

} // namespace mnemora
