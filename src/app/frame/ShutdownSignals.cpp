// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/ShutdownSignals.h"

#include "app/frame/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace q7 {

namespace {

constexpr int kSweepMs = 20;

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

} // namespace q7
