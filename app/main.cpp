// The panel's entry: the window starts up from its settings file (in the user's configuration
// folder for an installed program, beside a copy of the program where that can be written) and
// saves it again when it is closed, by the operator or by a request to end the process.
#include "FitToScreen.h"
#include "SettingsLocation.h"
#include "SignalClose.h"
#include "UKovalta.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The panel's dark looks are drawn over the Fusion style on every platform.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/kovalta.svg")));
    // The window belongs to the desktop entry the package installs.
    QGuiApplication::setDesktopFileName(QStringLiteral("kovalta"));
    TKovMainNavigation window(SettingsFolder(QCoreApplication::applicationDirPath()));
    const std::unique_ptr<QScrollArea> fitted =
        FitToScreen(window, window.screen()->availableGeometry().size());
    QWidget& shown = fitted ? static_cast<QWidget&>(*fitted) : window;
    const TSignalClose closeOnSignal(shown);
    shown.show();
    const int status = QApplication::exec();
    if (fitted) {
        fitted->takeWidget(); // the window is this function's, and saves its settings as it goes
    }
    return status;
}
