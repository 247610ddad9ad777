// SPDX-License-Identifier: GPL-3.0-or-later
// Q7 Manager: the window.

#include "app/common/Dialogs.h"
#include "app/frame/MainWindow.h"
#include "app/frame/ShutdownSignals.h"
#include "app/frame/SingleInstance.h"
#include "base/LanguageFile.h"
#include "base/ProgramLanguage.h"
#include "phonebook/ui/PhonebookImages.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
    QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));
    // The title "Vexa Q7 Manager" is kApplicationTitle, which the message
    // boxes carry. It is deliberately not the display name: Linux window
    // managers would get it appended to the main window's own caption.
    QApplication::setWindowIcon(q7::phonebookImages().value(q7::PhonebookRootImage));

    // A second window would fight the first for the port: the first comes
    // to the front instead. Claimed before the window exists, so that its
    // start never touches the port.
    q7::SingleInstance instance;
    if (!instance.claim()) {
        const q7::LanguageFile texts(
            q7::LanguageFile::locate(QCoreApplication::applicationFilePath()));
        q7::useProgramLanguage(texts.languageCode());
        QMessageBox::information(nullptr, q7::kApplicationTitle,
                                 texts.text(q7::TextId::Fehler_LaeuftSchon));
        return 0;
    }

    q7::TFrm_Q7_Manager window;
    QObject::connect(&instance, &q7::SingleInstance::raiseRequested, &window, [&window] {
        window.showNormal();
        window.raise();
        window.activateWindow();
    });
    q7::closeOnTerminationSignals(window);
    // Closed by a signal while a box was still up: the box is gone too.
    QObject::connect(&window, &q7::TFrm_Q7_Manager::shutDown, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    return app.exec();
}
