// Helper of the desktop tests: shows the message box the program shows for a text, so
// that a screenshot of the program's box can be compared with it pixel for pixel.
//   e2e_msgbox TEXT
#include "app/MnemoraApp.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    mnemora::InstallQtTranslations(); // its button in Chinese, as the program's
    if (argc != 2)
        return 2;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Mnemora"), QString::fromUtf8(argv[1]),
                    QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 0 : 1;
}
