#include "app/ErrorBox.h"

#include "app/Dialogs.h"

#include <QApplication>

namespace q7 {

void showErrorBox(const QString& message)
{
    dialogs().message(QApplication::activeWindow(), QMessageBox::Critical, kApplicationTitle,
                      errorBoxText(message), QMessageBox::Ok);
}

} // namespace q7
