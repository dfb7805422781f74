#pragma once
// The real window with its link up to a scripted gateway: a controller image answers every
// request of the port, and the requests the panel put on the wire can be read back. The port's
// tick is driven by hand.
#include "WindowRig.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// One Modbus TCP request as the gateway received it.
struct TWireRequest {
    std::uint8_t Unit;
    std::uint8_t Function;
    std::int32_t First;
    std::int32_t Word; // the count of a read, the value of a write
};

class LinkedWindow {
public:
    // Starts the window on a settings file with auto-connect on, runs the start delay and the
    // connect; from then on Controller answers. The controller is a heating sauna with every
    // output fitted, so that no button is disabled.
    LinkedWindow();

    // Runs ticks until Done holds, at most MaxTicks; whether it holds.
    bool TickUntil(const std::function<bool()>& Done, int MaxTicks = 400);
    // Every request sent so far, oldest first.
    std::vector<TWireRequest> Requests() const;
    // The requests with this function code, first register and, for a write, value (-1: any).
    int CountRequests(std::uint8_t Function, std::int32_t First, std::int32_t Word = -1) const;
    // Runs ticks until one more request of this kind has been answered.
    bool TickUntilAnswered(std::uint8_t Function, std::int32_t First, std::int32_t Word = -1);
    // Opens the temperature (Page 1) or work-time (Page 2) page through its bottom-bar button,
    // with the controller's edit block holding the page's setpoint (within 40 to 110 degrees or
    // 00:30 to 10:30, in steps of a degree or ten minutes), and runs ticks until the page has
    // loaded it, so that its buttons and bar act. Whether they do.
    bool OpenLoadedSetpointPage(int Page);

    TKovMainNavigation& Window() { return *Rig.Window; }
    TSaunaMX& Image() { return Rig.Sauna(); }

    WindowRig Rig;
    TSaunaMX Controller;
    // Called with each request before the controller answers it.
    std::function<void(const TWireRequest& Request)> OnRequest;

private:
    // Requests of this kind the port has accepted an answer to.
    int Answered(std::uint8_t Function, std::int32_t First, std::int32_t Word) const;
};
