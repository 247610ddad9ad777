// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sync/SyncController.h"

#include "app/Dialogs.h"
#include "app/EditHistory.h"
#include "app/ErrorBox.h"
#include "app/PhonebookPage.h"
#include "app/TransferController.h"
#include "app/sync/SyncDialogs.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "phonebook/HandsetImage.h"
#include "sync/OpenAddressBook.h"
#include "sync/SyncEngine.h"

namespace q7 {

namespace {

const QString kLocationKey = QStringLiteral("Abgleich/Adressbuch");

} // namespace

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
    SyncChoiceDialog choice(settings->value(kLocationKey).toString(), texts, m_context.window);
    if (dialogs().execDialog(choice) != QDialog::Accepted)
        return;
    settings->setValue(kLocationKey, choice.location());

    guarded([&] {
        const std::unique_ptr<sync::AddressBook> book = sync::openAddressBook(choice.location());
        sync::SyncSettings syncSettings;
        syncSettings.countryCode = loadCountryCode(*settings);
        syncSettings.typeNames = m_context.numberTypeNames;
        syncSettings.snapshotsKept = loadPhonebookOptions(*settings).sicherungen;
        sync::SyncRun run(*book, m_exchange, texts, m_context.host, syncSettings);
        m_transfers.runOnHandset([&] { run.prepare(); });

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
