// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WindowFixture.h"

#include "app/transfers/WritePlanDialog.h"
#include "base/RegistryKey.h"
#include "link/ComPort.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace q7 {

WindowFixture::WindowFixture(DialogsUsed used)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    // Snapshots of the handset go to the fixture's folder, not the user's.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    openRegistryKey(kProgramKey)->setValue(QStringLiteral("StartZaehler"), 1);
    if (used == DialogsUsed::Scripted)
        m_override.emplace(dialogs);
}

QString WindowFixture::writeFile(const QString& name, const QByteArray& content) const
{
    const QString path = filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

TFrm_Q7_Manager& WindowFixture::makeWindow(const QString& device, const QString& languageFile)
{
    m_found = false;
    window = std::make_unique<TFrm_Q7_Manager>(
        languageFile.isEmpty() ? filePath(QStringLiteral("absent.ini")) : languageFile);
    window->comPort().setDeviceOverride(device);
    return *window;
}

void WindowFixture::start(const QString& device, const QString& languageFile)
{
    makeWindow(device, languageFile);
    QSignalSpy searched(window.get(), &TFrm_Q7_Manager::searchFinished);
    window->show();
    // Shortcuts and the in-place editor want the focus a user's window has.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(!searched.isEmpty() || searched.wait(5000));
    m_found = searched.first().first().toBool();
}

void WindowFixture::startWithoutHandset(const QString& languageFile)
{
    start(filePath(QStringLiteral("no-such-tty")), languageFile);
}

void WindowFixture::setWriteOnlyChanged(bool on)
{
    window->findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->setChecked(on);
}

} // namespace q7

namespace q7 {

void WindowFixture::answerPlan(int choice, bool keepUnnamed)
{
    dialogs.queueDialog([this, choice, keepUnnamed](QDialog& dialog) {
        planLines.clear();
        planHeading.clear();
        if (auto* plan = qobject_cast<WritePlanDialog*>(&dialog)) {
            for (QListWidget* list : {plan->list(), plan->unnamedList()})
                for (int row = 0; list && row < list->count(); ++row)
                    planLines << list->item(row)->text();
            if (auto* heading = plan->findChild<QLabel*>(QStringLiteral("Lbl_NichtEnthalten")))
                planHeading = heading->text();
            if (plan->keepBox())
                plan->keepBox()->setChecked(keepUnnamed);
        }
        return choice;
    });
}

} // namespace q7
