// Q7 Manager: the window.

#include "app/Dialogs.h"
#include "app/MainWindow.h"
#include "app/ShutdownSignals.h"
#include "phonebook/ui/PhonebookImages.h"

#include <QApplication>

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
    q7::closeOnTerminationSignals(window);
    // Closed by a signal while a box was still up: the box is gone too.
    QObject::connect(&window, &q7::TFrm_Q7_Manager::shutDown, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
