// g700-sim: a stand-in for the G700 Modbus TCP gateway and the four sauna controllers behind
// it, for demos and end-to-end runs of the panel without hardware. See --help.
#include "SimClock.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "SimServer.h"
#include "SimSignals.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const TParsedOptions Parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (Parsed.Outcome == PARSE_HELP) {
        std::cout << HelpText();
        return 0;
    }
    if (Parsed.Outcome == PARSE_ERROR) {
        std::cerr << "g700-sim: " << Parsed.Error << std::endl;
        return 2;
    }
    InstallStopHandlers();
    const TSimClock Clock(Parsed.Options.TimeScale);
    const TSimLog Log(Clock);
    TSimServer Server(Parsed.Options, Clock, Log);
    if (!Server.Listen())
        return 1;
    Server.Run();
    return 0;
}
