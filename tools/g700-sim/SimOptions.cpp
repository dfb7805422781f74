#include "SimOptions.h"

#include <arpa/inet.h>

#include <charconv>
#include <functional>
#include <map>

namespace {
// A flag that takes one whole number within limits.
struct TNumberFlag {
    int Min;
    int Max;
    std::function<void(TSimOptions&, int)> Apply;
};

const std::map<std::string, TNumberFlag>& NumberFlags() {
    static const std::map<std::string, TNumberFlag> Flags{
        {"--time-scale", {1, 100000, [](TSimOptions& O, int V) { O.TimeScale = V; }}},
        {"--edit-delay", {0, 60000, [](TSimOptions& O, int V) { O.EditDelayMs = V; }}},
        {"--units", {1, 4, [](TSimOptions& O, int V) { O.Units = V; }}},
        {"--delay", {1, 60000, [](TSimOptions& O, int V) { O.Faults.DelayMs = V; }}},
        {"--late-every", {1, 1000000, [](TSimOptions& O, int V) { O.Faults.LateEvery = V; }}},
        {"--late-by", {1, 60000, [](TSimOptions& O, int V) { O.Faults.LateByMs = V; }}},
        {"--drop-every", {1, 1000000, [](TSimOptions& O, int V) { O.Faults.DropEvery = V; }}},
        {"--drop-chance", {1, 100, [](TSimOptions& O, int V) { O.Faults.DropPercent = V; }}},
        {"--seed",
         {0, 1000000, [](TSimOptions& O, int V) { O.Faults.Seed = static_cast<unsigned>(V); }}},
        {"--exception-every",
         {1, 1000000, [](TSimOptions& O, int V) { O.Faults.ExceptionEvery = V; }}},
        {"--close-after", {1, 1000000, [](TSimOptions& O, int V) { O.Faults.CloseAfter = V; }}},
        {"--split", {0, 60000, [](TSimOptions& O, int V) { O.Faults.SplitGapMs = V; }}},
        {"--dribble", {0, 60000, [](TSimOptions& O, int V) { O.Faults.DribbleMs = V; }}},
        {"--double-every", {1, 1000000, [](TSimOptions& O, int V) { O.Faults.DoubleEvery = V; }}},
        {"--garbage", {1, 1000, [](TSimOptions& O, int V) { O.Faults.GarbageBytes = V; }}},
        {"--stall-after", {0, 1000000, [](TSimOptions& O, int V) { O.Faults.StallAfter = V; }}},
        {"--other-id-every",
         {1, 1000000, [](TSimOptions& O, int V) { O.Faults.OtherIdEvery = V; }}},
        {"--other-unit-every",
         {1, 1000000, [](TSimOptions& O, int V) { O.Faults.OtherUnitEvery = V; }}},
        {"--other-protocol-every",
         {1, 1000000, [](TSimOptions& O, int V) { O.Faults.OtherProtocolEvery = V; }}},
    };
    return Flags;
}

// A flag that takes no value.
const std::map<std::string, std::function<void(TSimOptions&)>>& SwitchFlags() {
    static const std::map<std::string, std::function<void(TSimOptions&)>> Flags{
        {"--log-served", [](TSimOptions& O) { O.LogServed = true; }},
        {"--zero-setpoints", [](TSimOptions& O) { O.ZeroSetpoints = true; }},
    };
    return Flags;
}

bool ParseNumber(const std::string& Text, int Min, int Max, int& Val) {
    const char* End = Text.data() + Text.size();
    const auto [Ptr, Err] = std::from_chars(Text.data(), End, Val);
    return Err == std::errc() && Ptr == End && !Text.empty() && Val >= Min && Val <= Max;
}

bool IsLoopback(const std::string& Host) {
    in_addr Addr{};
    return inet_pton(AF_INET, Host.c_str(), &Addr) == 1 && (ntohl(Addr.s_addr) >> 24) == 127;
}

// HOST:PORT with a numeric IPv4 loopback host; port 0 lets the system choose a free one.
std::string ParseListen(const std::string& Text, TSimOptions& Options) {
    const std::size_t Colon = Text.rfind(':');
    if (Colon == std::string::npos)
        return "--listen takes HOST:PORT, not '" + Text + "'";
    const std::string Host = Text.substr(0, Colon);
    if (!IsLoopback(Host))
        return "--listen: '" + Host + "' is not an IPv4 loopback address (127.x.x.x); " +
               "the simulator serves this machine only";
    if (!ParseNumber(Text.substr(Colon + 1), 0, 65535, Options.ListenPort))
        return "--listen: '" + Text.substr(Colon + 1) + "' is not a port from 0 to 65535";
    Options.ListenHost = Host;
    return {};
}

TParsedOptions Failure(std::string Error) {
    TParsedOptions Parsed;
    Parsed.Outcome = PARSE_ERROR;
    Parsed.Error = std::move(Error);
    return Parsed;
}
} // namespace

TParsedOptions ParseOptions(const std::vector<std::string>& Args) {
    TParsedOptions Parsed;
    for (std::size_t K = 0; K < Args.size(); ++K) {
        const std::string& Flag = Args[K];
        if (Flag == "--help" || Flag == "-h") {
            Parsed.Outcome = PARSE_HELP;
            return Parsed;
        }
        if (const auto Switch = SwitchFlags().find(Flag); Switch != SwitchFlags().end()) {
            Switch->second(Parsed.Options);
            continue;
        }
        const auto Number = NumberFlags().find(Flag);
        if (Flag != "--listen" && Number == NumberFlags().end())
            return Failure("unknown option '" + Flag + "' (see --help)");
        if (K + 1 == Args.size())
            return Failure(Flag + " needs a value");
        const std::string& Value = Args[++K];
        if (Flag == "--listen") {
            if (std::string Error = ParseListen(Value, Parsed.Options); !Error.empty())
                return Failure(Error);
            continue;
        }
        int Val = 0;
        if (!ParseNumber(Value, Number->second.Min, Number->second.Max, Val))
            return Failure(Flag + ": '" + Value + "' is not a whole number from " +
                           std::to_string(Number->second.Min) + " to " +
                           std::to_string(Number->second.Max));
        Number->second.Apply(Parsed.Options, Val);
    }
    return Parsed;
}

std::string HelpText() {
    return R"(Usage: g700-sim [OPTION [VALUE]]...

Stands in for the G700 Modbus TCP gateway with four sauna controllers behind it, units 1 to 4.
Serves one client connection at a time; answers function 1 (read coils), 3 (read holding
registers) and 6 (write one register: the command register 2 and the edit value 102). Any other
function gets exception 1, an address outside the map (registers 0-119, coils 0-255) or a
read-only register exception 2, a count Modbus does not allow exception 3, a unit other than 1
to 4 exception 11. Prints one line per connection, command and injected fault. SIGINT or
SIGTERM ends it.

  --listen HOST:PORT      address to serve on (default 127.0.0.1:1502). Only IPv4 loopback
                          addresses (127.x.x.x) are accepted; port 0 picks a free port, and the
                          "listening on" line tells which.
  --time-scale N          the sauna model's clock runs N times real time (1 to 100000,
                          default 1): heating, cooling and the work timer go N times faster.
  --edit-delay MS         how long a controller takes to load the edit block after the edit
                          commands 230 and 255; meanwhile the block reads 0 (default 300).
  --units N               only units 1 to N have a controller (1 to 4, default 4); a request
                          for any other unit gets exception 11, as from a gateway that cannot
                          reach the unit.
  --zero-setpoints        start every controller with its temperature and work-time
                          setpoints at 0, below their limits, as a new or reset controller
                          holds them; a load puts 0 into the edit block with the limits.
  --log-served            print a line with the values of every read answer sent:
                          "served unit U registers FIRST: V V ..." or
                          "served unit U coils FIRST: 0110..." (one digit per coil).
  --help                  this text.

Faults for robustness runs (off by default; request counts start at 1 on every connection).
SIGUSR1 switches every fault off for the rest of the run; answers held back go out at once.
  --delay MS              send every answer MS milliseconds late.
  --late-every N          send every Nth answer later still, by --late-by.
  --late-by MS            how much later --late-every sends its answers (default 1500).
  --drop-every N          act on every Nth request but never send its answer.
  --drop-chance PERCENT   act on every request but drop its answer with this chance (1-100).
  --seed N                seed of the random drops (default 1), so that a run can be repeated.
  --exception-every N     answer every Nth request with exception 4 (server device failure)
                          without acting on it.
  --close-after N         close the connection right after the Nth request.
  --split MS              send every answer as two TCP segments, the second half MS
                          milliseconds after the first.
  --dribble MS            send every answer one byte at a time, MS milliseconds apart.
  --double-every N        send every Nth answer twice.
  --garbage N             send N stray bytes just before every answer.
  --stall-after N         answer the first N requests of a connection, then read requests but
                          never answer while keeping the connection open (0: never answer).
  --other-id-every N      send every Nth answer with another transaction identifier (the
                          request's with its highest bit flipped).
  --other-unit-every N    answer every Nth request as the next unit would, with that unit's
                          identifier and, for a read, its values; a write is still acted on by
                          the unit it was sent to.
  --other-protocol-every N
                          send every Nth answer with protocol identifier 1.
)";
}
