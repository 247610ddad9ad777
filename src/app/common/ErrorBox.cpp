// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/ErrorBox.h"

#include "app/common/Dialogs.h"
#include "base/LanguageFile.h"
#include "link/PortFailureText.h"

#include <QApplication>

namespace q7 {

namespace {

const LanguageFile* g_texts = nullptr;

} // namespace

void showErrorBox(const QString& message)
{
    dialogs().message(QApplication::activeWindow(), QMessageBox::Critical, kApplicationTitle,
                      errorBoxText(message), QMessageBox::Ok);
}

void showErrorBox(const Q7Error& failure)
{
    static const LanguageFile defaults;
    const QStringList lines = failureLines(failure, g_texts ? *g_texts : defaults);
    dialogs().message(QApplication::activeWindow(), QMessageBox::Critical, kApplicationTitle,
                      lines.join(QStringLiteral("\n\n")), QMessageBox::Ok);
}

void setErrorBoxTexts(const LanguageFile* texts)
{
    g_texts = texts;
}

} // namespace q7
