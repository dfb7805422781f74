// The panel's entry: the window starts up from its settings file (beside the executable, or in
// the user's configuration folder when the program's folder cannot be written) and saves it
// again when it is closed, by the operator or by a request to end the process.
#include "SettingsLocation.h"
#include "SignalClose.h"
#include "UKovalta.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The panel's dark looks are drawn over the Fusion style on every platform.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/kovalta.svg")));
    // The window belongs to the desktop entry the package installs.
    QGuiApplication::setDesktopFileName(QStringLiteral("kovalta"));
    TKovMainNavigation window(SettingsFolder(QCoreApplication::applicationDirPath()));
    const TSignalClose closeOnSignal(window);
    window.show();
    return QApplication::exec();
}
