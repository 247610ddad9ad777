// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sync/SyncController.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/SyncSettings.h"
#include "app/phonebook/EditHistory.h"
#include "app/phonebook/PhonebookPage.h"
#include "app/sync/SyncDialogs.h"
#include "app/transfers/TransferController.h"
#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/RegistryKey.h"
#include "phonebook/HandsetImage.h"
#include "sync/Keyring.h"
#include "sync/OpenAddressBook.h"
#include "sync/SyncEngine.h"

#include <QScopeGuard>
#include <optional>

namespace q7 {

SyncController::SyncController(const ManagerContext& context, CommandExchange& exchange,
                               PhonebookPage& page, TransferController& transfers, QObject* parent)
    : QObject(parent), m_context(context), m_exchange(exchange), m_page(page),
      m_transfers(transfers)
{}

void SyncController::sync()
{
    const LanguageFile& texts = m_context.texts;
    // The window shows the handset after the sync, as after a read.
    if (!m_page.mayReplaceEdits())
        return;
    auto settings = openRegistryKey(kProgramKey);
    SyncChoice remembered;
    remembered.server = settings->value(syncsettings::kKind, false).toBool();
    remembered.folder = settings->value(syncsettings::kLocation).toString();
    remembered.serverUrl = settings->value(syncsettings::kServer).toString();
    remembered.user = settings->value(syncsettings::kUser).toString();
    remembered.book = settings->value(syncsettings::kBook).toString();
    remembered.remember = settings->value(syncsettings::kRemember, true).toBool();
    SyncChoiceDialog choice(remembered, settings->value(syncsettings::kHttpAllowed).toStringList(),
                            texts, m_context.window);
    choice.setStoredPassword([&choice] {
        const SyncChoice now = choice.choice();
        return sync::Keyring::read(QUrl(now.serverUrl), now.user).password;
    });
    const int answer = dialogs().execDialog(choice);
    // The consent to plain http:// holds even when the user turns back.
    settings->setValue(syncsettings::kHttpAllowed, choice.httpAllowed());
    if (answer != QDialog::Accepted)
        return;
    const SyncChoice chosen = choice.choice();
    settings->setValue(syncsettings::kKind, chosen.server);
    if (!chosen.server)
        settings->setValue(syncsettings::kLocation, chosen.folder);
    else {
        settings->setValue(syncsettings::kServer, chosen.serverUrl);
        settings->setValue(syncsettings::kUser, chosen.user);
        settings->setValue(syncsettings::kBook, chosen.book);
        settings->setValue(syncsettings::kRemember, chosen.remember);
    }

    sync::ServerAccess access;
    // What goes to the keyring once the server has taken it: a password the
    // user typed or was asked for, never one it refused.
    QString toRemember;
    if (chosen.server) {
        access.user = chosen.user;
        access.allowPlainHttp = choice.plainHttpAllowed();
        const QUrl server(chosen.serverUrl);
        access.password = choice.password();
        toRemember = access.password;
        if (access.password.isEmpty()) {
            const sync::Keyring::Lookup stored = sync::Keyring::read(server, chosen.user);
            if (stored.outcome == sync::Keyring::Outcome::Done)
                access.password = stored.password;
            else if (!chosen.user.isEmpty()) {
                const std::optional<QString> asked =
                    askPassword(m_context.window, texts, server, chosen.user);
                if (!asked)
                    return;
                access.password = toRemember = *asked;
            }
        }
        if (!chosen.remember) {
            sync::Keyring::forget(server, chosen.user);
            toRemember.clear();
        }
    }
    const auto remember = [&] {
        if (toRemember.isEmpty() ||
            sync::Keyring::store(QUrl(chosen.serverUrl), chosen.user, toRemember) !=
                sync::Keyring::Outcome::NoKeyring)
            return;
        dialogs().message(m_context.window, QMessageBox::Information, kApplicationTitle,
                          texts.text(TextId::AbgleichServer_KeinSchluesselbund), QMessageBox::Ok);
    };

    guarded([&] {
        sync::SyncSettings syncSettings;
        syncSettings.countryCode = loadCountryCode(*settings);
        syncSettings.typeNames = m_context.numberTypeNames;
        syncSettings.snapshotsKept = loadPhonebookOptions(*settings).sicherungen;
        // Anhalten ends a server's request under way at once, from finding
        // the address book on, not only between the handset's records.
        sync::StopLine stopLine;
        access.stopLine = &stopLine;
        const QMetaObject::Connection stopping = connect(
            &m_transfers, &TransferController::stopAsked, this, [&stopLine] { stopLine.stop(); });
        const auto disconnectStop = qScopeGuard([&stopping] { disconnect(stopping); });
        std::unique_ptr<sync::AddressBook> book;
        std::unique_ptr<sync::SyncRun> running;
        try {
            m_transfers.runOnHandset([&] {
                try {
                    book = sync::openAddressBook(choice.location(), access);
                } catch (const EOperationCancelled&) {
                    if (stopLine.stopped())
                        throw EOperationStopped();
                    throw;
                }
                running = std::make_unique<sync::SyncRun>(*book, m_exchange, texts, m_context.host,
                                                          syncSettings);
                running->prepare();
            });
        } catch (const EOperationStopped&) {
            m_context.host.showStatus(texts.text(TextId::AbgleichFortschritt_Angehalten));
            return;
        }
        sync::SyncRun& run = *running;
        // Read: the server took the password.
        remember();

        SyncPlanDialog plan(run, texts, m_context.window);
        if (dialogs().execDialog(plan) != QDialog::Accepted)
            return;
        sync::SyncResult result;
        try {
            m_transfers.runOnHandset([&] { result = run.carryOut(); });
        } catch (...) {
            // What the handset took is in the window all the same.
            m_page.takeStore(run.handsetNow());
            m_context.handset.takeRead(run.handsetNow());
            throw;
        }
        m_page.takeStore(run.handsetNow());
        m_context.handset.takeRead(run.handsetNow());
        m_page.history().handsetChanged();
        dialogs().message(m_context.window,
                          result.problems.isEmpty() && !result.stopped ? QMessageBox::Information
                                                                       : QMessageBox::Warning,
                          kApplicationTitle, run.summaryLines(result).join(u'\n'), QMessageBox::Ok);
    });
}

} // namespace q7
