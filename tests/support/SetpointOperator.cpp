#include "SetpointOperator.h"

#include "TScrollBar.h"

#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>

#include <optional>
#include <sstream>

namespace {

constexpr std::uint8_t WRITE_REGISTER = 6;
constexpr std::uint8_t READ_REGISTERS = 3;
constexpr std::int32_t COMMAND = 2;
constexpr std::int32_t TEMP_SET = 14;
constexpr std::int32_t WORK_TIME_SET = 55;
constexpr std::int32_t EDIT_VALUE = 102;
constexpr std::int32_t EDIT_TEMP = 230;
constexpr std::int32_t STORE_TEMP = 330;
constexpr std::int32_t STORE_TIME = 331;

const QString LOADING = QStringLiteral("Wczytywanie nastawy...");
const QString FAILED = QStringLiteral("Nie udało się wczytać nastawy");
const QString STORING = QStringLiteral("Zapisywanie...");

// Ticks without a load or a store on the wire after which the edit blocks count as left alone:
// longer than the round of the slot table between two reads of a load.
constexpr int QUIET_TICKS = 200;
constexpr int SETTLE_TICKS = 4000;
// As long as an operator waits for a page.
constexpr int PAGE_WAIT_TICKS = 100;

const char* ActName(TOperatorAct Act) {
    switch (Act) {
    case ACT_OPEN_TEMP:
        return "OpenTemp";
    case ACT_OPEN_TIME:
        return "OpenTime";
    case ACT_KEY_TEMP:
        return "KeyF2";
    case ACT_KEY_TIME:
        return "KeyF3";
    case ACT_DIGITS:
        return "Digits";
    case ACT_MAIN:
        return "Main";
    case ACT_UP:
        return "Up";
    case ACT_DOWN:
        return "Down";
    case ACT_KEY_UP:
        return "KeyUp";
    case ACT_KEY_DOWN:
        return "KeyDown";
    case ACT_STORE:
        return "Store";
    case ACT_ENTER:
        return "KeyEnter";
    case ACT_DRAG:
        return "Drag";
    case ACT_SAUNA:
        return "Sauna";
    case ACT_LINK:
        return "StopOrStartLink";
    case ACT_DROP:
        return "DropConnection";
    case ACT_WAIT:
        return "Wait";
    case ACT_WAIT_PAGE:
        return "WaitForThePage";
    }
    return "?";
}

bool HasArg(TOperatorAct Act) {
    return Act == ACT_DRAG || Act == ACT_SAUNA || Act == ACT_WAIT;
}

// An edit-block request on the wire: a load command, the edit value or a store command.
bool IsEditWrite(const TWireRequest& Request) {
    return Request.Function == WRITE_REGISTER &&
           (Request.First == EDIT_VALUE ||
            (Request.First == COMMAND && Request.Word >= EDIT_TEMP && Request.Word <= STORE_TIME));
}

bool IsEditRequest(const TWireRequest& Request) {
    return IsEditWrite(Request) ||
           (Request.Function == READ_REGISTERS && Request.First == EDIT_VALUE);
}

} // namespace

std::ostream& operator<<(std::ostream& Out, const TOperatorAction& Action) {
    Out << ActName(Action.Act);
    if (HasArg(Action.Act)) {
        Out << ' ' << Action.Arg;
    }
    return Out;
}

std::ostream& operator<<(std::ostream& Out, const std::vector<TOperatorAction>& Actions) {
    Out << '{';
    for (std::size_t k = 0; k < Actions.size(); ++k) {
        Out << (k == 0 ? "" : ", ") << Actions[k];
    }
    return Out << '}';
}

SetpointOperator::SetpointOperator(const std::function<void(ControllerBus& Bus)>& Setup) {
    if (Setup) {
        Setup(Bus);
    }
    Bus.Serve(*Link.Rig.Fake);
    // A round of the poll set brings sauna 1 of the bus into the image.
    Link.Rig.Tick(30);
    for (int unit = 1; unit <= ControllerBus::UNITS; ++unit) {
        for (const TKind kind : {KIND_TEMP, KIND_TIME}) {
            const std::int32_t held =
                Bus.Unit(unit).ReadTableREG(kind == KIND_TEMP ? TEMP_SET : WORK_TIME_SET);
            FInitial[unit - 1][kind] = {held};
            FMayHold[unit - 1][kind] = {held};
        }
    }
    Window.show();
    QApplication::setActiveWindow(&Window);
    if (!QTest::qWaitForWindowActive(&Window)) {
        FSeen.push_back("the window never became active: its keys would do nothing");
    }
}

void SetpointOperator::Click(QWidget* Control) {
    QTest::mouseClick(Control, Qt::LeftButton);
}

void SetpointOperator::Key(Qt::Key Pressed) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &Window;
    QTest::keyClick(target, Pressed);
}

void SetpointOperator::Do(const TOperatorAction& Action) {
    TKind kind = KIND_TEMP;
    const bool shown = SetpointPageShown(kind);
    const bool temp = kind == KIND_TEMP;
    switch (Action.Act) {
    case ACT_OPEN_TEMP:
        Click(Window.BtSelTabTemp);
        break;
    case ACT_OPEN_TIME:
        Click(Window.BtSelTabTime);
        break;
    case ACT_KEY_TEMP:
        Key(Qt::Key_F2);
        break;
    case ACT_KEY_TIME:
        Key(Qt::Key_F3);
        break;
    case ACT_DIGITS:
        if (Window.TabControl->currentWidget() == Window.TabPanel) {
            Click(Window.Rectangle7LED);
        }
        break;
    case ACT_MAIN:
        Click(Window.BtSelTabMain);
        break;
    case ACT_UP:
    case ACT_DOWN:
        if (shown) {
            const bool up = Action.Act == ACT_UP;
            Click(temp ? (up ? Window.BtSetTempUp : Window.BtSetTempDn)
                       : (up ? Window.BtSetTimeUp : Window.BtSetTimeDn));
        }
        break;
    case ACT_KEY_UP:
        Key(Qt::Key_Up);
        break;
    case ACT_KEY_DOWN:
        Key(Qt::Key_Down);
        break;
    case ACT_STORE:
        if (shown) {
            Store([&] { Click(temp ? Window.BtSetTempWrite : Window.BtSetTimeWrite); });
        }
        break;
    case ACT_ENTER:
        Store([&] { Key(Qt::Key_Return); });
        break;
    case ACT_DRAG:
        if (shown) {
            Drag(Action.Arg);
        }
        break;
    case ACT_SAUNA: {
        Click(Window.BtSelTabParam);
        QWidget* const buttons[] = {Window.BtSelectSauna1, Window.BtSelectSauna2,
                                    Window.BtSelectSauna3, Window.Button1};
        Click(buttons[Action.Arg - 1]);
        FSauna = Action.Arg;
        break;
    }
    case ACT_LINK:
        Click(Window.BtSelTabSettings);
        Click(Window.BtWiFiConnect);
        break;
    case ACT_DROP:
        Link.Rig.Fake->ClosePeer();
        break;
    case ACT_WAIT:
        Tick(Action.Arg);
        break;
    case ACT_WAIT_PAGE:
        for (int tick = 0; tick < PAGE_WAIT_TICKS && (Caption() == LOADING || Caption() == STORING);
             ++tick) {
            Tick(1);
        }
        break;
    }
    Look();
}

void SetpointOperator::Run(const std::vector<TOperatorAction>& Actions) {
    for (const TOperatorAction& action : Actions) {
        Do(action);
    }
}

void SetpointOperator::Tick(int Count) {
    for (int tick = 0; tick < Count; ++tick) {
        Link.Rig.Tick(1);
        Look();
    }
}

// A stop asked for ends at the close of the transaction in flight; the link is started again
// after it.
void SetpointOperator::Settle() {
    Link.TickUntil([this] { return !Window.Port->SocketServerStop(); }, 50);
    if (!Window.Port->SocketServerStart()) {
        Do({ACT_LINK});
    }
    std::size_t requests = 0;
    int quiet = 0;
    for (int tick = 0; tick < SETTLE_TICKS && quiet < QUIET_TICKS; ++tick) {
        Tick(1);
        std::size_t edits = 0;
        for (const TWireRequest& request : Link.Requests()) {
            edits += IsEditRequest(request) ? 1 : 0;
        }
        const bool busy = Caption() == LOADING || Caption() == STORING;
        quiet = edits != requests || busy ? 0 : quiet + 1;
        requests = edits;
    }
}

bool SetpointOperator::SetpointPageShown(TKind& Kind) const {
    if (Window.TabControl->currentWidget() == Window.TabSetTemp) {
        Kind = KIND_TEMP;
        return true;
    }
    if (Window.TabControl->currentWidget() == Window.TabSetTime) {
        Kind = KIND_TIME;
        return true;
    }
    return false;
}

QString SetpointOperator::Caption() const {
    TKind kind = KIND_TEMP;
    if (!SetpointPageShown(kind)) {
        return {};
    }
    const QString name =
        kind == KIND_TEMP ? QStringLiteral("LabSetTempState") : QStringLiteral("LabSetTimeState");
    return Window.findChild<QLabel*>(name)->text();
}

QString SetpointOperator::ValueText() const {
    TKind kind = KIND_TEMP;
    if (!SetpointPageShown(kind)) {
        return {};
    }
    return (kind == KIND_TEMP ? Window.LabSetTemp : Window.LabSetTime)->text();
}

std::int32_t SetpointOperator::ShownValue(TKind Kind) const {
    if (Kind == KIND_TEMP) {
        return Window.LabSetTemp->text().toInt() * 10;
    }
    const QStringList parts = Window.LabSetTime->text().split(QLatin1Char(':'));
    return parts.value(0).toInt() * 60 + parts.value(1).toInt();
}

bool SetpointOperator::TakesEdits() const {
    return Caption() != LOADING && Caption() != FAILED;
}

// What the page shows when store is pressed is what the operator asks to store.
void SetpointOperator::Store(const std::function<void()>& Press) {
    TKind kind = KIND_TEMP;
    if (SetpointPageShown(kind) && TakesEdits()) {
        const std::int32_t value = ShownValue(kind);
        FAsked[FSauna - 1][kind].insert(value);
        FMayHold[FSauna - 1][kind].insert(value);
    }
    Press();
}

void SetpointOperator::Drag(int Halves) {
    TKind kind = KIND_TEMP;
    SetpointPageShown(kind);
    TScrollBar* bar = kind == KIND_TEMP ? Window.ScBarSetTemp : Window.ScBarSetTime;
    const double before = bar->Value();
    const QString caption = Caption();
    bar->SetValue(Halves / 2.0);
    if (caption != LOADING && caption != FAILED) {
        return;
    }
    if (bar->Value() != before) {
        std::ostringstream out;
        out << "the bar moved from " << before << " to " << bar->Value() << " while the page said "
            << caption.toStdString();
        FSeen.push_back(out.str());
    }
}

// A page without a caption shows the setpoint its controller holds.
void SetpointOperator::Look() {
    TKind kind = KIND_TEMP;
    if (SetpointPageShown(kind) && Caption().isEmpty()) {
        FMayHold[FSauna - 1][kind] = {ShownValue(kind)};
    }
}

void SetpointOperator::ControllerHolds(int Unit, TKind Kind, std::int32_t Value,
                                       std::vector<std::string>& Out) const {
    const auto describe = [](const std::set<std::int32_t>& Values) {
        std::ostringstream text;
        for (const std::int32_t value : Values) {
            text << ' ' << value;
        }
        return text.str();
    };
    const std::string what = "unit " + std::to_string(Unit) +
                             (Kind == KIND_TEMP ? " temperature " : " work time ") +
                             std::to_string(Value);
    const std::size_t index = static_cast<std::size_t>(Unit - 1);
    if (!FInitial[index][Kind].count(Value) && !FAsked[index][Kind].count(Value)) {
        Out.push_back(what + ": never stored; asked for:" + describe(FAsked[index][Kind]));
    }
    if (!FMayHold[index][Kind].count(Value)) {
        Out.push_back(what +
                      ": the page showed done, or stored since:" + describe(FMayHold[index][Kind]));
    }
}

std::vector<std::string> SetpointOperator::Violations() const {
    std::vector<std::string> found = FSeen;
    for (int unit = 1; unit <= ControllerBus::UNITS; ++unit) {
        for (const TKind kind : {KIND_TEMP, KIND_TIME}) {
            const std::int32_t reg = kind == KIND_TEMP ? TEMP_SET : WORK_TIME_SET;
            ControllerHolds(unit, kind, Bus.Unit(unit).ReadTableREG(reg), found);
        }
    }
    // The last edit-block write to each unit: a store command must follow its own value.
    std::array<std::optional<TWireRequest>, 256> last;
    const std::vector<TWireRequest> requests = Link.Requests();
    for (std::size_t k = 0; k < requests.size(); ++k) {
        const TWireRequest& request = requests[k];
        if (!IsEditWrite(request)) {
            continue;
        }
        std::optional<TWireRequest>& before = last[request.Unit];
        const bool store = request.First == COMMAND && request.Word >= STORE_TEMP;
        if (store) {
            const TKind kind = request.Word == STORE_TEMP ? KIND_TEMP : KIND_TIME;
            const bool unitKnown = request.Unit >= 1 && request.Unit <= ControllerBus::UNITS;
            if (!before || before->First != EDIT_VALUE || !unitKnown ||
                !FAsked[request.Unit - 1][kind].count(before->Word)) {
                found.push_back("request " + std::to_string(k) + ": store command " +
                                std::to_string(request.Word) + " to unit " +
                                std::to_string(request.Unit) +
                                " without a value the operator stored just before it");
            }
        }
        before = request;
    }
    const QString caption = Caption();
    if (caption == LOADING || caption == STORING) {
        found.push_back("the page still says " + caption.toStdString());
    }
    return found;
}

std::vector<std::string> SetpointOperator::Writes(int Unit, std::size_t Skip) const {
    std::vector<std::string> writes;
    const std::vector<TWireRequest> requests = Link.Requests();
    for (std::size_t k = Skip; k < requests.size(); ++k) {
        const TWireRequest& r = requests[k];
        if (r.Function == WRITE_REGISTER && r.Unit == Unit) {
            writes.push_back(std::to_string(r.First) + ":=" + std::to_string(r.Word));
        }
    }
    return writes;
}
