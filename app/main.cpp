// The panel's entry: the window starts up from the settings file beside the executable and
// saves it again when it is closed, by the operator or by a request to end the process.
#include "SignalClose.h"
#include "UKovalta.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The panel's dark looks are drawn over the Fusion style on every platform.
    QApplication::setStyle(QStringLiteral("Fusion"));
    TKovMainNavigation window;
    const TSignalClose closeOnSignal(window);
    window.show();
    return QApplication::exec();
}
