// Q7 Manager: the window.

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "phonebook/ui/PhonebookImages.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalSocket[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    (void)!::write(g_signalSocket[0], &byte, 1);
}

// A session that ends, or a kill, closes the window as the user would: a
// running transfer is cancelled and the settings are saved. The handler only
// writes a byte; the window closes from the event loop.
void closeOnTerminationSignals(QWidget& window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        (void)!::read(g_signalSocket[1], &byte, 1);
        window.close();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));
    // The title "Vexa Q7 Manager" is kApplicationTitle, which the message
    // boxes carry. It is deliberately not the display name: Linux window
    // managers would get it appended to the main window's own caption.
    QApplication::setWindowIcon(q7::phonebookImages().value(q7::PhonebookRootImage));

    q7::TFrm_Q7_Manager window;
    closeOnTerminationSignals(window);
    window.show();
    return app.exec();
}
