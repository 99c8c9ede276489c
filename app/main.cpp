#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("TransVelkorSeneca"));
    QWidget window;
    window.show();
    return QApplication::exec();
}
