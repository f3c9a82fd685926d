// The yardstick of bench_startup: a plain Qt program whose only work is to show a
// frameless window of the float window's size at once. With --text it also shows the
// float window's welcome text, to tell the cost of its fonts from the rest.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint | Qt::Tool);
    window.setFixedSize(540, 109);
    if (argc > 1 && qstrcmp(argv[1], "--text") == 0) {
        auto* label = new QLabel(QStringLiteral("欢迎使用 Mnemora \n\n正在加载……"), &window);
        label->setGeometry(2, 11, 528, 86);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QFont font(QStringLiteral("Times New Roman"));
        font.setPixelSize(16);
        label->setFont(font);
    }
    window.show();
    return app.exec();
}
