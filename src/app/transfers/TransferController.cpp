// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transfers/TransferController.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/options/OptionsPage.h"
#include "app/phonebook/EditHistory.h"
#include "app/phonebook/PhonebookPage.h"
#include "app/transfers/WritePlanDialog.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "editing/HandsetEntries.h"
#include "fileio/Snapshots.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "link/PortDiagnosis.h"
#include "link/PortDoctor.h"
#include "link/PortFailureText.h"
#include "link/PortMap.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NoteLines.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/WritePlan.h"

#include <QApplication>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QTimer>

namespace q7 {

TransferController::TransferController(const ManagerContext& context, TComPort& port,
                                       CommandExchange& exchange, PhonebookPage& page,
                                       OptionsPage& options, QObject* parent)
    : QObject(parent), m_window(context.window), m_host(context.host), m_store(context.store),
      m_handset(context.handset), m_languageFile(context.texts), m_port(port), m_exchange(exchange),
      m_page(page), m_options(options), m_watcher(this)
{
    connect(&m_watcher, &PortWatcher::portsAppeared, this, &TransferController::searchOnAppeared);
    connect(&m_page, &PhonebookPage::stopRequested, this, &TransferController::requestStop);
    // Queued: the port list's own handler and its signal are over first.
    connect(
        &m_options, &OptionsPage::portChosen, this, [this] { search(true); }, Qt::QueuedConnection);
}

QList<QWidget*> TransferController::storeControls() const
{
    return m_page.storeControls();
}

QList<QWidget*> TransferController::lockedControls() const
{
    return m_page.handsetControls() + m_options.portControls();
}

// --- Search -----------------------------------------------------------------

bool TransferController::search(bool closePortFirst)
{
    m_watcher.stop();
    emit searchStarted();
    bool found = false;
    std::optional<PortFailureCause> cause;
    const bool done = guarded([&] {
        TransferGuard guard(*this);
        if (closePortFirst)
            m_port.ClosePort();
        try {
            found = searchHandset(m_exchange, m_languageFile, m_host);
        } catch (const EComPort& failure) {
            cause = portFailureCause(failure);
            throw;
        }
    });
    m_portOpened = done;
    // A search that failed is over: the status must not say it still runs.
    if (!done)
        m_host.showStatus(m_languageFile.text(TextId::Statusleiste_Handynichtgefunden));

    const QString name = m_port.Port();
    m_options.showSearchResult(
        found  ? m_languageFile.text(TextId::Diagnose_Gefunden).arg(name)
        : done ? m_languageFile.text(TextId::Diagnose_KeineAntwort).arg(name)
               : m_languageFile.text(TextId::Handysuche_NichtGeoeffnet).arg(name));
    // The status bar alone goes unnoticed at the first start.
    m_page.showSearchResult(found, cause, name);
    if (!found && !m_closePending)
        m_watcher.start();
    emit searchFinished(found);
    return found;
}

void TransferController::test()
{
    // A port that did not open has had its box, which says why.
    if (search(true) || !m_portOpened)
        return;
    QStringList lines{m_languageFile.text(TextId::Diagnose_KeineAntwort).arg(m_port.Port()),
                      QString(), m_languageFile.text(TextId::Handysuche_Befunde)};
    guarded([&] {
        const QList<PortFinding> findings = portFindings(doctorPorts(m_port.deviceOverride()),
                                                         SystemView::current(), m_languageFile);
        for (const PortFinding& finding : findings)
            lines << QStringLiteral("- ") + finding.text;
    });
    dialogs().message(m_window, QMessageBox::Information, kApplicationTitle, lines.join(u'\n'),
                      QMessageBox::Ok);
}

namespace {

// A device by the file it leads to: the system lists /dev/ttyUSB0 where the
// settings may name its /dev/serial/by-id/ link.
QString resolvedDevice(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

void TransferController::searchOnAppeared(const QStringList& devices)
{
    // A transfer runs with the handset it has; a closing window searches no
    // more.
    if (running() || m_closePending)
        return;
    // A box is up (the last search's findings, a question): the search
    // waits until it is answered, or it would start inside its wait.
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(PortWatcher::kIntervalMs, this,
                           [this, devices] { searchOnAppeared(devices); });
        return;
    }
    QString own;
    guarded([&] { own = resolvedDevice(m_port.devicePath()); });
    for (const QString& device : devices) {
        if (resolvedDevice(device) == own) {
            search(true);
            return;
        }
    }
    // A device given by its path is what the user asked for.
    if (!m_port.deviceOverride().isEmpty())
        return;
    QMap<int, QString> map;
    guarded([&] { map = currentPortMap(); });
    for (const QString& device : devices) {
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (resolvedDevice(it.value()) != resolvedDevice(device))
                continue;
            const QString previous = m_port.Port();
            guarded([&] {
                m_port.ClosePort();
                m_port.setPort(QStringLiteral("COM%1").arg(it.key()));
            });
            if (search(true))
                return;
            guarded([&] {
                m_port.ClosePort();
                m_port.setPort(previous);
            });
        }
    }
}

// --- Read, write, erase -----------------------------------------------------

void TransferController::read()
{
    if (!m_page.mayReplaceEdits())
        return;
    int stoppedAt = -1;
    const bool done = guarded([&] {
        try {
            // The store and the trees change only once the whole read has succeeded.
            m_page.takeStore(readHandset());
        } catch (const EOperationStopped&) {
            stoppedAt = m_page.progressValue();
            throw;
        }
        m_handset.takeRead(m_store);
        keepSnapshot(SnapshotReason::Read);
        m_page.history().handsetChanged();
    });
    if (!done)
        showIdle();
    // A stopped read keeps the old store, as a failed one does; it says where it was.
    if (stoppedAt >= 0)
        m_host.showStatus(m_languageFile.text(TextId::Schreiben_Angehalten)
                              .arg(stoppedAt)
                              .arg(m_page.progressMaximum()));
}

void TransferController::runOnHandset(const std::function<void()>& job)
{
    TransferGuard guard(*this, storeControls());
    const QScopedValueRollback phonebookTransfer(m_phonebookTransfer, true);
    const StopButtonShown stop(*this);
    m_exchange.clearCancel();
    reconnectHandset(m_exchange, m_languageFile, m_host);
    job();
}

RecordStore TransferController::readHandset()
{
    TransferGuard guard(*this, storeControls());
    const QScopedValueRollback phonebookTransfer(m_phonebookTransfer, true);
    const StopButtonShown stop(*this);
    m_exchange.clearCancel();
    reconnectHandset(m_exchange, m_languageFile, m_host);
    return readPhonebook(m_exchange, m_languageFile, m_host, m_store);
}

void TransferController::keepSnapshot(SnapshotReason reason)
{
    Snapshots(Snapshots::defaultFolder(), m_options.snapshotsKept()).keep(m_handset, reason);
}

int TransferController::askPlan(WritePlan& plan)
{
    WritePlanDialog dialog(plan, m_store, m_handset, m_languageFile, m_page.replacedBy(), m_window);
    const int choice = dialogs().execDialog(dialog);
    if (choice == WritePlanDialog::Write && dialog.keepsUnnamed()) {
        // What the handset keeps comes into the window, which then holds
        // the whole handset again.
        m_page.applyEdit(takeHandsetEntries(m_store, m_handset, OwnEntries::Stay),
                         TextId::Schreibplan_VomHandy);
        plan = keepingUnnamed(plan);
    }
    return choice;
}

bool TransferController::readFirst(WritePlan& plan)
{
    const Replacement replaced = m_page.replacedBy();
    EditResult taken;
    const bool read = guarded([&] {
        m_handset.takeRead(readHandset());
        // A loaded phonebook stands for the handset's and stays as it is;
        // the window's own work joins what the handset holds, before
        // anything else can fail: a known handset and a window that lacks
        // its entries would plan to write over them.
        if (replaced == Replacement::None)
            taken = takeHandsetEntries(m_store, m_handset, OwnEntries::MoveAside);
        m_page.history().handsetChanged();
        keepSnapshot(SnapshotReason::Read);
    });
    m_page.applyEdit(taken, TextId::Schreibplan_VomHandy);
    if (!read) {
        showIdle();
        return false;
    }
    plan =
        planWrite(m_store, m_handset, m_options.writeOnlyChanged(), replaced != Replacement::None);
    noteMoves(plan, taken);
    return true;
}

void TransferController::write()
{
    WritePlan plan = planWrite(m_store, m_handset, m_options.writeOnlyChanged(),
                               m_page.replacedBy() != Replacement::None);
    if (!plan.handsetKnown && !plan.isEmpty()) {
        const int choice = askPlan(plan);
        if (choice == WritePlanDialog::ReadFirst) {
            if (!readFirst(plan))
                return;
        } else if (choice != WritePlanDialog::Write) {
            return;
        }
    }
    if (plan.isEmpty()) {
        m_host.showStatus(m_languageFile.text(
            plan.handsetKnown ? TextId::Plan_Nichts : TextId::Statusleiste_Nichtszuschreiben));
        return;
    }
    if (!noteLinesMayGo(plan))
        return;
    if (plan.handsetKnown && askPlan(plan) != WritePlanDialog::Write)
        return;
    // What the handset holds now is the way back from this write.
    if (!guarded([this] { keepSnapshot(SnapshotReason::BeforeWrite); }))
        return;
    const bool verify = m_options.verifyAfterWrite();
    runTransfer(TransferResult::Operation::Write, [&](TransferResult& result) {
        writePlanned(m_exchange, m_languageFile, m_host, m_store, m_handset, plan, verify, result);
    });
}

bool TransferController::noteLinesMayGo(const WritePlan& plan)
{
    const QList<int> losing = recordsLosingNoteLines(m_store, plan);
    if (losing.isEmpty())
        return true;
    return dialogs().message(
               m_window, QMessageBox::Question, m_languageFile.text(TextId::Zusatzzeilen_Caption),
               noteLinesQuestion(m_store, losing, m_page.saveCaption(), m_languageFile),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TransferController::erase()
{
    const auto answer = dialogs().message(m_window, QMessageBox::Question,
                                          m_languageFile.text(TextId::Handyloeschen_Caption),
                                          m_languageFile.text(TextId::Handyloeschen_Frage),
                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    if (!guarded([this] { keepSnapshot(SnapshotReason::BeforeErase); }))
        return;
    runTransfer(TransferResult::Operation::Erase, [this](TransferResult& result) {
        EraseHandset(m_exchange, m_languageFile, m_host, m_handset, result);
    });
    // The window may now hold what the handset no longer does.
    m_page.history().handsetChanged();
}

void TransferController::runTransfer(TransferResult::Operation operation,
                                     const std::function<void(TransferResult&)>& run)
{
    bool complete = false;
    const bool done = guarded([&] {
        TransferGuard guard(*this, storeControls());
        const QScopedValueRollback phonebookTransfer(m_phonebookTransfer, true);
        const StopButtonShown stop(*this);
        m_exchange.clearCancel();
        reconnectHandset(m_exchange, m_languageFile, m_host);
        complete = runReported(operation, run, [&](const TransferResult& result) {
            // What the handset took, also after a failure: the status bar
            // may cut it, the summary says it whole, above the rest.
            const QString confirmation = operation == TransferResult::Operation::Write
                                             ? writtenConfirmation(result, m_languageFile)
                                             : erasedConfirmation(result, m_languageFile);
            QStringList report = transferReport(m_store, result, m_languageFile);
            if (!report.isEmpty()) {
                if (result.written > 0 || result.deleted > 0)
                    report.prepend(confirmation);
                dialogs().message(m_window,
                                  result.failedRecords.isEmpty() && result.noRoom.isEmpty()
                                      ? QMessageBox::Information
                                      : QMessageBox::Warning,
                                  kApplicationTitle, report.join(u'\n'), QMessageBox::Ok);
            }
            if (result.succeeded())
                m_host.showStatus(confirmation);
            return result.succeeded();
        });
    });
    // A write changes the handset and may place records anew, whether it ran
    // to its end or not, so the steps before it no longer apply. Only a write
    // that ran to its end and left no record behind has saved the edits.
    if (operation == TransferResult::Operation::Write) {
        m_page.history().start(done && complete);
        // The handset holds what the window's phonebook named now.
        if (done && complete)
            m_page.setReplacedBy(Replacement::None);
        // Note lines the handset dropped live in the window alone: closing
        // asks to save them to a file.
        if (!notesOnlyInWindow(m_store, m_handset).isEmpty())
            m_page.history().markUnsaved();
        // The write may have placed records at locations of their own.
        m_page.rebuildTrees();
    }
    if (!done)
        showIdle();
}

TransferController::StopButtonShown::StopButtonShown(TransferController& controller)
    : m_controller(controller)
{
    m_controller.m_stopRequested = false;
    m_controller.m_page.offerStop(true);
}

TransferController::StopButtonShown::~StopButtonShown()
{
    m_controller.m_page.offerStop(false);
    m_controller.m_stopRequested = false;
}

void TransferController::requestStop()
{
    m_stopRequested = true;
    // Asked once: the run ends after the record it is on.
    m_page.stopTaken();
    emit stopAsked();
}

void TransferController::showIdle()
{
    m_host.showStatus(m_languageFile.text(TextId::Statusleiste_Ruhezustand));
    m_host.setProgress(0);
}

// --- What the operations ask of the window ----------------------------------

bool TransferController::retryLostLink(const QString& message)
{
    return dialogs().message(m_window, QMessageBox::Warning, kApplicationTitle, message,
                             QMessageBox::Retry | QMessageBox::Cancel,
                             QMessageBox::Retry) == QMessageBox::Retry;
}

void TransferController::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TransferController::handsetFound()
{
    m_watcher.stop();
    m_page.showNoHandsetNotice(false);
    for (QWidget* control : m_page.handsetControls())
        setControlEnabled(control, true);
}

// --- The lock ---------------------------------------------------------------

void TransferController::transferStarted()
{
    m_page.lockEditing(true);
    m_exchange.clearCancel();
}

void TransferController::transferEnded()
{
    m_page.lockEditing(false);
    setBusy(false);
    if (m_closePending) {
        // Close from the event loop, once the operation's frames are gone.
        QTimer::singleShot(0, m_window, [window = m_window] { window->close(); });
    }
}

void TransferController::closeWhenEnded()
{
    m_closePending = true;
    m_exchange.cancel();
}

} // namespace q7
