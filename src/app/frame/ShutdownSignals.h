// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace q7 {

class TFrm_Q7_Manager;

// SIGTERM, SIGINT and SIGHUP (a logout, a kill, Ctrl+C) end the program as
// closing the window would: settings saved, a running transfer cancelled.
// The handler only writes a byte; the rest runs from the event loop.
void closeOnTerminationSignals(TFrm_Q7_Manager& window);

// What a termination signal does: every open dialog and message box is
// answered as if cancelled, so that the code waiting in it goes on and ends,
// and the window closes with its unsaved edits kept in the recovery file.
// It keeps at it until the window has shut down, since ending an operation
// may still open a box.
void endOnSignal(TFrm_Q7_Manager& window);

} // namespace q7
