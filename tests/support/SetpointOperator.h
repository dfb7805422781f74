#pragma once
// An operator at the real window's setpoint pages, against the four controllers of a
// ControllerBus behind the scripted gateway: the clicks and keys a person gives, the waits
// between them, and what the person and the controllers can tell afterwards. After every action
// and every tick it looks at the page shown, and keeps what each controller may hold by then: a
// page that shows a setpoint as the controller's (no caption) says what that controller holds,
// and every store asked for since may have reached it.
#include "ControllerBus.h"
#include "LinkedWindow.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

enum TOperatorAct : std::uint8_t {
    ACT_OPEN_TEMP, // the bottom bar's temperature button
    ACT_OPEN_TIME, // the bottom bar's work-time button
    ACT_KEY_TEMP,  // F2
    ACT_KEY_TIME,  // F3
    ACT_DIGITS,    // a click on the display's digits, when the main page is shown
    ACT_MAIN,      // the bottom bar's main-page button
    ACT_UP,        // the up button of the page shown
    ACT_DOWN,      // its down button
    ACT_KEY_UP,    // the Up key
    ACT_KEY_DOWN,  // the Down key
    ACT_STORE,     // the store button of the page shown
    ACT_ENTER,     // the Enter key
    ACT_DRAG,      // the bar of the page shown moved to Arg halves of its units
    ACT_SAUNA,     // the sauna page, then the button of sauna Arg (1 to 4)
    ACT_LINK,      // the settings page, then "SERWER STOP" or "SERWER START"
    ACT_DROP,      // the gateway closes the connection
    ACT_WAIT,      // Arg ticks of 100 ms
    ACT_WAIT_PAGE, // until the page shown neither loads nor stores, at most 10 s
};

struct TOperatorAction {
    TOperatorAct Act;
    int Arg = 0;
};

// As a table row would write it: "Store", "Wait 3", "Sauna 2".
std::ostream& operator<<(std::ostream& Out, const TOperatorAction& Action);
std::ostream& operator<<(std::ostream& Out, const std::vector<TOperatorAction>& Actions);

class SetpointOperator {
public:
    // Setup shapes the controllers before the panel first reads them. The window is shown and
    // active, so that its keys work.
    explicit SetpointOperator(const std::function<void(ControllerBus& Bus)>& Setup = {});

    void Do(const TOperatorAction& Action);
    void Run(const std::vector<TOperatorAction>& Actions);
    void Tick(int Count);
    // Starts the link if it is stopped, and runs ticks until no page loads or stores and the
    // edit blocks have been left alone for a while.
    void Settle();

    // What went wrong, in words; empty when each controller's setpoints hold only what the
    // operator stored there (or held at the start), each holds the last store its page showed as
    // done or one asked for since, every store command on the wire follows its own value write,
    // every page shown has ended its load and store, and no bar moved while its page took no edit.
    std::vector<std::string> Violations() const;

    // The writes on the wire for Unit after the first Skip requests: "102:=130", "2:=331", ...
    std::vector<std::string> Writes(int Unit, std::size_t Skip = 0) const;
    // The caption and value of the setpoint page shown.
    QString Caption() const;
    QString ValueText() const;

    ControllerBus Bus;
    LinkedWindow Link;
    TKovMainNavigation& Window = Link.Window();

private:
    enum TKind { KIND_TEMP, KIND_TIME };
    using TValues = std::array<std::array<std::set<std::int32_t>, 2>, ControllerBus::UNITS>;

    void Click(QWidget* Control);
    void Key(Qt::Key Pressed);
    // The setpoint page shown, if one is.
    bool SetpointPageShown(TKind& Kind) const;
    // The value its label shows, in register units.
    std::int32_t ShownValue(TKind Kind) const;
    bool TakesEdits() const;
    void Store(const std::function<void()>& Press);
    void Drag(int Halves);
    void Look();
    void ControllerHolds(int Unit, TKind Kind, std::int32_t Value,
                         std::vector<std::string>& Out) const;

    int FSauna = 1;
    TValues FInitial;
    // Every value asked for, and what each controller may hold by now.
    TValues FAsked;
    TValues FMayHold;
    // Faults seen on the way: a bar that moved while its page took no edit, a window whose keys
    // could not work.
    std::vector<std::string> FSeen;
};
