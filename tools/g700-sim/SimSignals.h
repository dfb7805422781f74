#pragma once

// SIGINT and SIGTERM ask the simulator to stop; the serving loop looks at the request between
// waits of at most a tenth of a second. SIGPIPE is ignored, so that a client that went away
// shows as a failed send.
void InstallStopHandlers();

bool StopRequested();
