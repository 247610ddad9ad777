// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace q7 {

// How a long operation (search, read, write, erase, import, export) talks to
// whoever started it: the window shows these in its status bar, progress bar
// and message boxes, the command line on stderr, and tests record them.
class OperationHost
{
public:
    virtual ~OperationHost() = default;

    virtual void showStatus(const QString& text) { (void)text; }
    virtual void setProgress(int value) { (void)value; }
    // Progress through a job counted in steps rather than handset locations
    // (the address book's part of a sync: cards read, cards written). The
    // window shows it on the same bar; the command line has no count to add.
    virtual void setStepProgress(int done, int total)
    {
        (void)done;
        (void)total;
    }
    // The handset stopped answering. True: ask the same command again.
    virtual bool retryLostLink(const QString& message)
    {
        (void)message;
        return false;
    }
    virtual void setBusy(bool busy) { (void)busy; }
    // Asked between records: true ends a read, write or erase after the
    // record it is at (the stop button, Esc).
    virtual bool stopRequested() { return false; }
    // The search identified the handset: reading, writing and erasing may start.
    virtual void handsetFound() {}
};

} // namespace q7
