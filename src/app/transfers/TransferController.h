// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ManagerContext.h"
#include "app/transfers/TransferGuard.h"
#include "fileio/Snapshots.h"
#include "link/PortWatcher.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookWriter.h"

#include <QList>
#include <QObject>
#include <functional>

class QWidget;

namespace q7 {

class CommandExchange;
class OptionsPage;
class PhonebookPage;
class TComPort;

// The transfers between the PC and the handset: the search, the read, the
// write and the erase. While one runs the controls that would start a
// second one or change the store are locked, a lost link asks whether to
// try again, and at its end the status bar sums up what the handset
// confirmed or refused.
class TransferController : public QObject, public TransferLock
{
    Q_OBJECT

public:
    TransferController(const ManagerContext& context, TComPort& port, CommandExchange& exchange,
                       PhonebookPage& page, OptionsPage& options, QObject* parent = nullptr);

    void read();
    void write();
    void erase();
    // A job on the handset that runs as a read does (the sync): the other
    // controls locked, "Anhalten" shown, the link checked first.
    void runOnHandset(const std::function<void()>& job);
    // closePortFirst: "&Test" opens the port anew, with what the options
    // page chose. Until a handset answers, the phonebook page says so and
    // the port watcher looks out for a device plugged in later. True when
    // the handset answered.
    bool search(bool closePortFirst);
    // "&Test": the search on the chosen port; when nothing answers, a box
    // tells what the system shows about the serial ports.
    void test();
    // Devices that appeared while no handset had answered: the port's own
    // device back again, or else a new device under its COM name, which the
    // port keeps only when the handset answers there.
    void searchOnAppeared(const QStringList& devices);
    PortWatcher& portWatcher() { return m_watcher; }

    // A read, write or erase is running: closing would cut it off.
    bool phonebookTransferRunning() const { return m_phonebookTransfer; }
    // Closing the window waits for the running transfer to unwind: it is
    // cancelled now, and the window closes once it has ended.
    void closeWhenEnded();
    bool closePending() const { return m_closePending; }

    // The window's answers to the operations (OperationHost).
    bool retryLostLink(const QString& message);
    void setBusy(bool busy);
    void handsetFound();
    // "Anhalten" (or Esc) was pressed: the running read, write or erase ends
    // after the record it is on.
    bool stopRequested() const { return m_stopRequested; }
    void requestStop();

signals:
    // "Anhalten" was pressed: a job that waits on something other than the
    // handset (a server's answer) can end that wait at once.
    void stopAsked();
    void searchStarted();
    void searchFinished(bool found);

private:
    // Read, write, erase and import change the store; these stay disabled
    // besides the port's controls while one of them runs.
    QList<QWidget*> storeControls() const;
    // TransferLock
    QList<QWidget*> lockedControls() const override;
    void transferStarted() override;
    void transferEnded() override;
    // Runs a write or an erase with the store's controls locked; whatever
    // the handset refused is named afterwards, also when the run stopped.
    void runTransfer(TransferResult::Operation operation,
                     const std::function<void(TransferResult&)>& run);
    // The whole phonebook as the handset holds it, with the controls locked
    // and "Anhalten" shown; the store is not touched.
    RecordStore readHandset();
    // Keeps the handset as last seen among the snapshots.
    void keepSnapshot(SnapshotReason reason);
    // The plan dialog's answer (WritePlanDialog::Choice, or Rejected). When
    // the user keeps the entries a loaded phonebook lacks, they come into
    // the window and the plan no longer deletes them.
    int askPlan(WritePlan& plan);
    // "Zuerst lesen": the handset's entries come into the window, under the
    // window's own work, and plan is what is left to write. False when the
    // read failed.
    bool readFirst(WritePlan& plan);
    // "Anhalten" is shown, and no stop asked, while one lives.
    class StopButtonShown
    {
    public:
        explicit StopButtonShown(TransferController& controller);
        ~StopButtonShown();
        StopButtonShown(const StopButtonShown&) = delete;
        StopButtonShown& operator=(const StopButtonShown&) = delete;

    private:
        TransferController& m_controller;
    };
    // After a failure: nothing runs any more, and the bars say so.
    void showIdle();
    // The handset drops the additional text lines of the entries it is
    // sent; true when the plan sends none or the user agrees to lose them.
    bool noteLinesMayGo(const WritePlan& plan);

    QWidget* m_window;
    OperationHost& m_host;
    RecordStore& m_store;
    HandsetImage& m_handset;
    const LanguageFile& m_languageFile;
    TComPort& m_port;
    CommandExchange& m_exchange;
    PhonebookPage& m_page;
    OptionsPage& m_options;

    bool m_phonebookTransfer = false; // a read, write or erase is running
    bool m_closePending = false;
    bool m_busy = false;
    bool m_portOpened = false; // the last search got the port open
    PortWatcher m_watcher;
    bool m_stopRequested = false;
};

} // namespace q7
