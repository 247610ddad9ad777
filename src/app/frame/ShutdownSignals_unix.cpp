// SPDX-License-Identifier: GPL-3.0-or-later
// The termination signals of a Unix system; a Windows build brings its own
// closeOnTerminationSignals (the console's close events, a logoff).
#include "app/frame/ShutdownSignals.h"

#include "app/frame/MainWindow.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace q7 {

namespace {

int g_signalSocket[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)!::write(g_signalSocket[0], &byte, 1);
}

} // namespace

void closeOnTerminationSignals(TFrm_Q7_Manager& window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        (void)!::read(g_signalSocket[1], &byte, 1);
        endOnSignal(window);
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace q7
