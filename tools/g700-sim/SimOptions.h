#pragma once
#include "SimFaults.h"

#include <string>
#include <vector>

struct TSimOptions {
    std::string ListenHost = "127.0.0.1";
    int ListenPort = 1502;
    int TimeScale = 1;
    int EditDelayMs = 300;
    int Units = 4;          // controllers fitted: units 1 to Units answer, the others are not there
    bool LogServed = false; // one line with the values of every answer sent
    bool ZeroSetpoints = false; // every controller starts with both setpoints 0, as a reset one
    TFaultOptions Faults;
};

enum TParseOutcome { PARSE_RUN, PARSE_HELP, PARSE_ERROR };

struct TParsedOptions {
    TParseOutcome Outcome = PARSE_RUN;
    TSimOptions Options;
    std::string Error;
};

// Reads the command line (without the program name). A listen address that is not an IPv4
// loopback address is an error: the simulator never serves beyond this machine.
TParsedOptions ParseOptions(const std::vector<std::string>& Args);

std::string HelpText();
