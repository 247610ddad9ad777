// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ShutdownSignals.h"

#include "app/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace q7 {

namespace {

int g_signalSocket[2] = {-1, -1};
constexpr int kSweepMs = 20;

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)!::write(g_signalSocket[0], &byte, 1);
}

// A dialog's exec() returns only once control is back in its own loop, so
// the dialogs are answered first and the window closed on a later sweep.
bool rejectOpenDialogs()
{
    bool any = false;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (dialog && dialog->isVisible()) {
            dialog->done(QDialog::Rejected);
            any = true;
        }
    }
    return any;
}

} // namespace

void endOnSignal(TFrm_Q7_Manager& window)
{
    window.markEndingBySignal();
    QPointer<TFrm_Q7_Manager> target(&window);
    auto* sweep = new QTimer(&window);
    sweep->setInterval(kSweepMs);
    QObject::connect(sweep, &QTimer::timeout, &window, [target, sweep] {
        if (!target || target->hasShutDown()) {
            sweep->deleteLater();
            return;
        }
        if (!rejectOpenDialogs())
            target->close();
    });
    QObject::connect(&window, &TFrm_Q7_Manager::shutDown, sweep, &QTimer::stop);
    rejectOpenDialogs();
    sweep->start();
}

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
