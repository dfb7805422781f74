#include "LinkedWindow.h"

#include "ModbusReplies.h"
#include "SaunaREG.h"
#include "TScrollBar.h"
#include "TStyledButton.h"

namespace {

TSettingsFile LinkOnAtStart() {
    TSettingsFile file;
    file.ConnectAuto = true;
    return file;
}

TWireRequest Decode(const QByteArray& Frame) {
    return {FrameUnit(Frame), FrameFunction(Frame), FrameFirst(Frame), FrameWord(Frame, 10)};
}

bool Matches(const TWireRequest& Request, std::uint8_t Function, std::int32_t First,
             std::int32_t Word) {
    return Request.Function == Function && Request.First == First &&
           (Word < 0 || Request.Word == Word);
}

} // namespace

LinkedWindow::LinkedWindow() : Rig(LinkOnAtStart()) {
    FillHeatingSauna(Controller);
    Controller.WriteTableREG(REG_AROMA_AVAIL, 1);
    Rig.Fake->Responder = [this](const QByteArray& Frame) {
        if (OnRequest) {
            OnRequest(Decode(Frame));
        }
        return ReplyFromController(Controller, Frame);
    };
    // The start delay, the connect on the second running tick, and the poll set answered once,
    // so that the screen shows the controller.
    Rig.Tick(TDravonPort::START_DELAY_TICKS + 2);
    TickUntil([this] { return Requests().size() > std::size(POLL_SET); });
}

bool LinkedWindow::TickUntil(const std::function<bool()>& Done, int MaxTicks) {
    for (int tick = 0; tick < MaxTicks && !Done(); ++tick) {
        Rig.Tick(1);
    }
    return Done();
}

std::vector<TWireRequest> LinkedWindow::Requests() const {
    std::vector<TWireRequest> requests;
    for (const QByteArray& frame : Rig.Fake->Written) {
        requests.push_back(Decode(frame));
    }
    return requests;
}

int LinkedWindow::CountRequests(std::uint8_t Function, std::int32_t First,
                                std::int32_t Word) const {
    int count = 0;
    for (const TWireRequest& request : Requests()) {
        count += Matches(request, Function, First, Word) ? 1 : 0;
    }
    return count;
}

// The poll set keeps the table from running empty, so the request sent last is always the one
// in flight, not yet accepted.
int LinkedWindow::Answered(std::uint8_t Function, std::int32_t First, std::int32_t Word) const {
    const std::vector<TWireRequest> requests = Requests();
    const bool inFlight = !requests.empty() && Matches(requests.back(), Function, First, Word);
    return CountRequests(Function, First, Word) - (inFlight ? 1 : 0);
}

bool LinkedWindow::TickUntilAnswered(std::uint8_t Function, std::int32_t First, std::int32_t Word) {
    const int before = Answered(Function, First, Word);
    return TickUntil([&] { return Answered(Function, First, Word) > before; });
}

bool LinkedWindow::OpenLoadedSetpointPage(int Page) {
    const bool temp = Page == 1;
    Controller.WriteTableREG(REG_EDIT_VALUE,
                             Controller.ReadTableREG(temp ? REG_TEMP_SET : REG_WORK_TIME_SET));
    Controller.WriteTableREG(REG_EDIT_MIN, temp ? 400 : 30);
    Controller.WriteTableREG(REG_EDIT_MAX, temp ? 1100 : 630);
    Controller.WriteTableREG(REG_EDIT_STEP, 10);
    TKovMainNavigation& window = Window();
    (temp ? window.BtSelTabTemp : window.BtSelTabTime)->click();
    const QWidget* bar = temp ? static_cast<QWidget*>(window.ScBarSetTemp) : window.ScBarSetTime;
    return TickUntil([bar] { return bar->isEnabled(); });
}
