// The yardstick of the side-by-side measurement (scripts/bench): a bare Qt window of the panel's
// size, built with the same Qt and run on the same platform plugin, that draws nothing of its own.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(420, 884);
    window.show();
    return QApplication::exec();
}
