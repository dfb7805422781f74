// The yardsticks of the side-by-side measurement (scripts/bench): a bare Qt window of the panel's
// size, built with the same Qt and run on the same platform plugin, that draws nothing of its own;
// with --indicators it also shows two small labels whose colour changes on every 100 ms tick, as
// the panel's Tx and Rx indicators must while it polls: the least any repaint at that pace costs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstring>

namespace {

// The indicators' three states in a row, as a transaction of the poll engine shows them.
constexpr std::array<QRgb, 3> STATES{0xFFADFF2F, 0xFF006400, 0xFF696969};

QLabel* Indicator(QWidget& Window, const QString& Text, int X) {
    auto* label = new QLabel(Text, &Window);
    label->setGeometry(X, 26, 32, 14);
    label->setAutoFillBackground(true);
    return label;
}

void Paint(QLabel* Label, QRgb Colour) {
    QPalette palette = Label->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgba(Colour));
    Label->setPalette(palette);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(420, 884);
    QTimer tick;
    if (argc > 1 && std::strcmp(argv[1], "--indicators") == 0) {
        QLabel* tx = Indicator(window, QStringLiteral("Tx"), 36);
        QLabel* rx = Indicator(window, QStringLiteral("Rx"), 60);
        std::size_t state = 0;
        QObject::connect(&tick, &QTimer::timeout, &window, [tx, rx, &state] {
            state = (state + 1) % STATES.size();
            Paint(tx, STATES[state]);
            Paint(rx, STATES[(state + 1) % STATES.size()]);
        });
        tick.start(100);
    }
    window.show();
    return QApplication::exec();
}
