// The panel's entry: the window starts up from the settings file beside the executable and
// saves it again when it is closed.
#include "UKovalta.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    TKovMainNavigation window;
    window.show();
    return QApplication::exec();
}
