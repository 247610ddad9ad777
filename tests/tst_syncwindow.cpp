// SPDX-License-Identifier: GPL-3.0-or-later
// "Abgleichen…" in the window: the address book choice, remembered; the plan
// with a conflict settled there; the window showing the handset afterwards.

#include "app/common/StatusPanel.h"
#include "app/frame/MainWindow.h"
#include "app/sync/SyncDialogs.h"
#include "base/PcText.h"
#include "support/DavServer.h"
#include "support/DialogPicture.h"
#include "support/SimFixture.h"
#include "support/SlowServer.h"
#include "support/WindowFixture.h"
#include "sync/CardDavAddressBook.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

using namespace q7;

class TestSyncWindow : public QObject
{
    Q_OBJECT

private slots:
    void syncFromThePhonebookPage()
    {
        WindowFixture f;
        f.sim.setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        f.sim.setEntry(2, simEntry(2, "Bert", "0302222"));
        const QString cards = f.filePath("cards");
        QDir().mkpath(cards);
        f.writeFile("cards/bert.vcf",
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bert Berg\r\nN:Berg;Bert;;;\r\n"
                    "TEL;TYPE=cell:0302222\r\nEMAIL:bert@example.org\r\n"
                    "END:VCARD\r\n");
        f.writeFile("cards/dora.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dora Dreher\r\n"
                                      "N:Dreher;Dora;;;\r\nTEL;TYPE=work:0404444\r\nEND:VCARD\r\n");
        f.startOnSim();
        QVERIFY(f.handsetFound());
        QPushButton* button = f.window->phonebookPage().syncButton();
        QVERIFY(button->isEnabled());

        f.dialogs.queueDialog([&](QDialog& dialog) {
            auto& choice = dynamic_cast<SyncChoiceDialog&>(dialog);
            choice.locationEdit()->setText(cards);
            q7::test::keepPicture(dialog, "choice.png");
            return int(QDialog::Accepted);
        });
        QString plan;
        f.dialogs.queueDialog([&](QDialog& dialog) {
            auto& planDialog = dynamic_cast<SyncPlanDialog&>(dialog);
            plan = planDialog.planText()->toPlainText();
            [&] {
                QCOMPARE(planDialog.conflicts()->topLevelItemCount(), 1);
                QVERIFY(planDialog.startButton()->isEnabled());
                QVERIFY(!planDialog.allowDeletions()->isVisible());
            }();
            planDialog.choose(0, 2); // the address book's name holds
            q7::test::keepPicture(dialog, "plan.png");
            return int(QDialog::Accepted);
        });
        button->click();

        QVERIFY2(plan.contains("Dora Dreher"), qPrintable(plan));
        QVERIFY2(plan.contains("Konflikt"), qPrintable(plan));
        // The summary, then the window holds the handset as the sync left it.
        const QList<ScriptedDialogs::Call> messages =
            f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QVERIFY(!messages.isEmpty());
        QVERIFY2(messages.last().text.startsWith("Abgeglichen"), qPrintable(messages.last().text));
        QCOMPARE(f.sim.entry(2).value(1), QByteArray("Bert Berg"));
        QStringList names;
        for (int record = 1; record <= kRecordCount; ++record)
            if (f.window->recordStore().isLive(record))
                names << decodePc(f.window->recordStore().field(record, Name));
        QCOMPARE(names, (QStringList{"Anna Alt", "Bert Berg", "Dora Dreher"}));
        QCOMPARE(QDir(cards).entryList({"*.vcf"}).size(), 3);
        q7::test::keepPicture(*f.window, "window.png");

        // The choice is remembered.
        QString offered;
        f.dialogs.queueDialog([&](QDialog& dialog) {
            offered = dynamic_cast<SyncChoiceDialog&>(dialog).location();
            return int(QDialog::Rejected);
        });
        button->click();
        QCOMPARE(offered, cards);
    }

    // A Radicale with a password, the address book found from the server's
    // address; no password typed and none in the keyring: it is asked for.
    void syncWithAServer()
    {
        using q7::test::DavServer;
        DavServer server(DavServer::Radicale, {u"anna"_qs, u"geheim"_qs, {}, {}});
        QString error;
        if (!server.start(&error))
            QSKIP(qPrintable(error));
        const QUrl book = server.root().resolved(QUrl(u"/anna/familie/"_qs));
        const sync::CardDavLogin login{book, u"anna"_qs, u"geheim"_qs, false};
        {
            sync::CardDavClient client(login);
            QVERIFY(q7::test::makeAddressBook(client, book, u"Familie"_qs));
        }
        WindowFixture f;
        f.sim.setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        f.startOnSim();
        QVERIFY(f.handsetFound());
        QPushButton* button = f.window->phonebookPage().syncButton();

        QString status;
        f.dialogs.queueDialog([&](QDialog& dialog) {
            auto& choice = dynamic_cast<SyncChoiceDialog&>(dialog);
            choice.serverChoice()->setChecked(true);
            choice.serverEdit()->setText(server.root().toString());
            choice.userEdit()->setText(u"anna"_qs);
            choice.passwordEdit()->setText(u"geheim"_qs);
            choice.rememberBox()->setChecked(false);
            choice.testButton()->click();
            status = choice.statusLabel()->text();
            choice.passwordEdit()->clear(); // the sync asks for it
            return int(QDialog::Accepted);
        });
        f.dialogs.queueDialog([&](QDialog& dialog) {
            dynamic_cast<QInputDialog&>(dialog).setTextValue(u"geheim"_qs);
            return int(QDialog::Accepted);
        });
        f.dialogs.queueDialog([&](QDialog&) { return int(QDialog::Accepted); });
        button->click();
        QVERIFY2(status.contains("Familie"), qPrintable(status));
        const QList<ScriptedDialogs::Call> messages =
            f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QVERIFY(!messages.isEmpty());
        QVERIFY2(messages.last().text.startsWith("Abgeglichen"), qPrintable(messages.last().text));
        sync::CardDavAddressBook onServer(login, u"Familie"_qs, 10000);
        QCOMPARE(onServer.list().size(), 1);

        // The server, the user and the book are offered again; the password
        // is not.
        SyncChoice offered;
        QString password = u"?"_qs;
        f.dialogs.queueDialog([&](QDialog& dialog) {
            auto& choice = dynamic_cast<SyncChoiceDialog&>(dialog);
            offered = choice.choice();
            password = choice.password();
            return int(QDialog::Rejected);
        });
        button->click();
        QVERIFY(offered.server);
        QCOMPARE(offered.serverUrl, server.root().toString());
        QCOMPARE(offered.user, u"anna"_qs);
        QCOMPARE(offered.book, book.toString());
        QVERIFY(!offered.remember);
        QVERIFY(password.isEmpty());
    }

    // The server busy with a request, Anhalten pressed: the request ends at
    // once. Busy with the second of three new cards, the page's bar stands
    // at the first and the summary says the sync was stopped; busy reading
    // the address book, the status bar says nothing was changed.
    void stopWhileTheServerIsBusy_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<int>("nth");
        QTest::newRow("reading") << QByteArray("PROPFIND") << 1;
        QTest::newRow("writing") << QByteArray("PUT") << 2;
    }
    void stopWhileTheServerIsBusy()
    {
        QFETCH(QByteArray, method);
        QFETCH(int, nth);
        using q7::test::DavServer;
        DavServer server(DavServer::Radicale);
        QString error;
        if (!server.start(&error))
            QSKIP(qPrintable(error));
        q7::test::SlowServer slow(server.port());
        const QUrl book = slow.root().resolved(QUrl(u"/anna/familie/"_qs));
        {
            sync::CardDavClient client({book, u"anna"_qs, {}, false});
            QVERIFY(q7::test::makeAddressBook(client, book, u"Familie"_qs));
        }
        WindowFixture f;
        for (int i = 1; i <= 3; ++i)
            f.sim.setEntry(
                i, simEntry(i, "Handy " + QByteArray::number(i), "017100" + QByteArray::number(i)));
        f.startOnSim();
        QVERIFY(f.handsetFound());
        auto& page = f.window->phonebookPage();

        f.dialogs.queueDialog([&](QDialog& dialog) {
            auto& choice = dynamic_cast<SyncChoiceDialog&>(dialog);
            choice.serverChoice()->setChecked(true);
            choice.serverEdit()->setText(book.toString());
            choice.userEdit()->setText(u"anna"_qs);
            choice.passwordEdit()->setText(u"egal"_qs);
            choice.rememberBox()->setChecked(false);
            return int(QDialog::Accepted);
        });
        f.dialogs.queueDialog([&](QDialog&) { return int(QDialog::Accepted); });
        auto* stop = page.findChild<QPushButton*>(u"Btn_Anhalten"_qs);
        QVERIFY(stop);
        QElapsedTimer stopped;
        int bar = -1;
        slow.holdAnswer(method, nth, [&] {
            bar = page.progressBar()->value();
            stopped.start();
            stop->click();
        });
        page.syncButton()->click();

        QVERIFY(stopped.isValid());
        QVERIFY2(stopped.elapsed() < 3000, qPrintable(QString::number(stopped.elapsed())));
        QCOMPARE(page.progressBar()->value(), 0);
        QVERIFY(!stop->isVisible());
        const QList<ScriptedDialogs::Call> messages =
            f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        if (method == "PROPFIND") {
            QVERIFY(messages.isEmpty());
            QCOMPARE(f.window->statusPanel(0)->text(),
                     u"Abgleich angehalten, bevor etwas geändert wurde."_qs);
            return;
        }
        QCOMPARE(bar, page.progressBar()->maximum() / 3);
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages.last().icon, QMessageBox::Warning);
        QVERIFY2(messages.last().text.contains("Angehalten"), qPrintable(messages.last().text));
    }
};

QTEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
