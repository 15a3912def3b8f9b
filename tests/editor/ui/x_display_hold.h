// A connection to the X display that a test process keeps to its end.
#pragma once

namespace zor::testing {

// An X server without -noreset resets whenever its last client leaves, and refuses
// the clients that connect meanwhile (another test's last one may just have left).
// Connects to $DISPLAY, trying again until `seconds` have passed, and keeps the
// connection open to the end of the process, so the display stays up while the
// toolkit connects. False when no connection could be made.
bool holdXDisplay(int seconds);

}  // namespace zor::testing
