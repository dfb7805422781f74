#pragma once

// SIGINT and SIGTERM ask the simulator to stop; SIGUSR1 asks it to switch its faults off. The
// serving loop looks at both requests between waits of at most a tenth of a second. SIGPIPE is
// ignored, so that a client that went away shows as a failed send.
void InstallStopHandlers();

bool StopRequested();
bool FaultsOffRequested();
