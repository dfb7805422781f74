#pragma once
// Closes the panel's window when the process is asked to end (SIGTERM, SIGINT). The signal only
// wakes the event loop, which closes the window as a click on its close box would: the loop
// ends and the window's shutdown saves the settings.

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <memory>

class QWidget;

class TSignalClose : public QObject {
    Q_OBJECT
public:
    // One instance per process; it takes over the two signals until it goes.
    explicit TSignalClose(QWidget& Window);
    ~TSignalClose() override;
    TSignalClose(const TSignalClose&) = delete;
    TSignalClose& operator=(const TSignalClose&) = delete;

private:
    void CloseWindow();

    QPointer<QWidget> FWindow;
    std::unique_ptr<QSocketNotifier> FNotifier;
};
