// Ctrl-C (SIGINT) and SIGTERM stop a run the way the desktop program's stop button does: the
// first one only asks the run to stop (it ends at the next message, after the article in hand
// is written); a second one ends the process at once with the same status.
#pragma once

namespace gw::cli {

// Installs the handlers for SIGINT and SIGTERM.
void InstallStopSignals();

// The signal that asked the run to stop (SIGINT or SIGTERM), 0 while none has.
int StopSignal();

// Asks the run to stop as if `signal` had arrived, or (0) forgets the request.
void SetStopSignal(int signal);

}  // namespace gw::cli
