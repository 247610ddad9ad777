// SPDX-License-Identifier: GPL-3.0-or-later
// The address book choice of "Abgleichen…": a folder or a CardDAV server,
// "Verbindung testen" against a real Radicale, the books found to choose
// from, and plain http:// to another machine asked about once per server.

#include "app/sync/SyncDialogs.h"
#include "base/LanguageFile.h"
#include "support/DavServer.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace q7;
using namespace q7::test;

namespace {

const QString kUser = QStringLiteral("anna");
const QString kPassword = QStringLiteral("geheim");

} // namespace

class TestSyncChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<DavServer>(DavServer::Radicale,
                                               DavServer::Options{kUser, kPassword, {}, {}});
        QString error;
        if (!m_server->start(&error))
            QSKIP(qPrintable(error));
        sync::CardDavClient client(sync::CardDavLogin{m_server->root(), kUser, kPassword, false});
        for (const auto& [name, display] :
             {std::pair{"familie", "Familie"}, std::pair{"arbeit", "Arbeit"}})
            QVERIFY(makeAddressBook(
                client, m_server->root().resolved(QUrl(u"/anna/"_qs + name + u'/')), display));
    }

    void fieldsFollowTheKind()
    {
        SyncChoiceDialog dialog(SyncChoice{}, {}, m_texts);
        QVERIFY(dialog.folderChoice()->isChecked());
        QVERIFY(dialog.locationEdit()->isEnabled());
        QVERIFY(!dialog.serverEdit()->isEnabled());
        QVERIFY(!dialog.startButton()->isEnabled());
        dialog.locationEdit()->setText(u"/tmp/karten"_qs);
        QVERIFY(dialog.startButton()->isEnabled());
        QCOMPARE(dialog.location(), u"/tmp/karten"_qs);

        dialog.serverChoice()->setChecked(true);
        QVERIFY(!dialog.locationEdit()->isEnabled());
        QVERIFY(dialog.serverEdit()->isEnabled());
        QVERIFY(dialog.passwordEdit()->isEnabled());
        QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
        QVERIFY(!dialog.startButton()->isEnabled()); // no server yet
        QVERIFY(!dialog.testButton()->isEnabled());
        dialog.serverEdit()->setText(u"cloud.example.org"_qs); // not an address
        QVERIFY(!dialog.startButton()->isEnabled());
        dialog.serverEdit()->setText(u"https://cloud.example.org"_qs);
        QVERIFY(dialog.startButton()->isEnabled());
        QVERIFY(dialog.testButton()->isEnabled());
        QCOMPARE(dialog.location(), u"https://cloud.example.org"_qs);
        // The folder stays what it was for the next time.
        QCOMPARE(dialog.choice().folder, u"/tmp/karten"_qs);
        QVERIFY(dialog.choice().server);
    }

    void testConnection_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("books");
        QTest::newRow("the server's root") << QString() << kPassword << "Verbindung zu" << 2;
        QTest::newRow("one address book") << u"/anna/arbeit/"_qs << kPassword << "Arbeit" << 1;
        QTest::newRow("wrong password") << QString() << u"falsch"_qs << "(401)" << 0;
        QTest::newRow("no server there") << u"closed"_qs << kPassword << "keine Verbindung" << 0;
    }
    void testConnection()
    {
        QFETCH(QString, address);
        QFETCH(QString, password);
        QFETCH(QString, status);
        QFETCH(int, books);
        QUrl url = m_server->root();
        if (address == u"closed") {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            url.setPort(probe.serverPort()); // free again once the probe closes
        } else if (!address.isEmpty()) {
            url = url.resolved(QUrl(address));
        }
        SyncChoice start;
        start.server = true;
        start.serverUrl = url.toString();
        start.user = kUser;
        SyncChoiceDialog dialog(start, {}, m_texts);
        dialog.passwordEdit()->setText(password);
        dialog.testButton()->click();
        QVERIFY2(dialog.statusLabel()->text().contains(status),
                 qPrintable(dialog.statusLabel()->text()));
        QCOMPARE(dialog.books()->count(), books);
        if (books == 2) {
            // Several found: one must be chosen before the sync goes on.
            QVERIFY(!dialog.startButton()->isEnabled());
            QVERIFY(!dialog.books()->currentItem());
            const QList<QListWidgetItem*> familie =
                dialog.books()->findItems(u"Familie"_qs, Qt::MatchStartsWith);
            QCOMPARE(familie.size(), 1);
            dialog.books()->setCurrentItem(familie.first());
            QVERIFY(dialog.startButton()->isEnabled());
            QCOMPARE(dialog.location(),
                     m_server->root().resolved(QUrl(u"/anna/familie/"_qs)).toString());
            QCOMPARE(dialog.choice().book, dialog.location());
        } else if (books == 1) {
            QVERIFY(dialog.startButton()->isEnabled());
            QCOMPARE(dialog.location(), url.toString());
        }
        // The password reaches nothing but the dialog's own field.
        QVERIFY(!dialog.choice().user.contains(password));
    }

    // Under a real display, Q7_SYNC_SHOTS=DIR keeps a picture of the dialog
    // after a test of the server, in German and in English.
    void pictures()
    {
        const QString folder = qEnvironmentVariable("Q7_SYNC_SHOTS");
        if (folder.isEmpty())
            QSKIP("Q7_SYNC_SHOTS not set");
        const LanguageFile english(qEnvironmentVariable("Q7_SOURCE_DIR") + u"/lang/english.ini"_qs);
        for (const auto& [texts, name] :
             {std::pair{static_cast<const LanguageFile*>(&m_texts), "choice-de.png"},
              std::pair{&english, "choice-en.png"}}) {
            SyncChoice start;
            start.server = true;
            start.serverUrl = m_server->root().toString();
            start.user = kUser;
            SyncChoiceDialog dialog(start, {}, *texts);
            dialog.passwordEdit()->setText(kPassword);
            dialog.show();
            dialog.testButton()->click();
            QTest::qWait(200);
            dialog.grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
        }
    }

    // The book chosen last time is offered again, and a new test keeps it
    // chosen among those found.
    void theChoiceIsOfferedAgain()
    {
        const QString familie = m_server->root().resolved(QUrl(u"/anna/familie/"_qs)).toString();
        SyncChoice start;
        start.server = true;
        start.serverUrl = m_server->root().toString();
        start.user = kUser;
        start.book = familie;
        start.remember = false;
        SyncChoiceDialog dialog(start, {}, m_texts);
        QVERIFY(dialog.serverChoice()->isChecked());
        QVERIFY(!dialog.rememberBox()->isChecked());
        QCOMPARE(dialog.location(), familie);
        QVERIFY(dialog.startButton()->isEnabled());
        // No password typed: the keyring's is taken.
        dialog.setStoredPassword([] { return kPassword; });
        dialog.testButton()->click();
        QCOMPARE(dialog.books()->count(), 2);
        QCOMPARE(dialog.location(), familie);
        QVERIFY(dialog.startButton()->isEnabled());
    }

    void plainHttpIsAskedOncePerServer()
    {
        ScriptedDialogs dialogs;
        DialogsOverride scripted(dialogs);
        SyncChoice start;
        start.server = true;
        start.serverUrl = u"http://192.0.2.7/dav/"_qs; // not this machine
        SyncChoiceDialog first(start, {}, m_texts);
        dialogs.queueAnswer(QMessageBox::No);
        first.startButton()->click();
        QCOMPARE(first.result(), int(QDialog::Rejected));
        QVERIFY(first.httpAllowed().isEmpty());
        dialogs.queueAnswer(QMessageBox::Yes);
        first.startButton()->click();
        QCOMPARE(first.result(), int(QDialog::Accepted));
        QCOMPARE(first.httpAllowed(), QStringList{u"http://192.0.2.7"_qs});
        QVERIFY(first.plainHttpAllowed());
        QCOMPARE(dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 2);

        // Remembered for that server, not for another.
        SyncChoiceDialog second(start, first.httpAllowed(), m_texts);
        second.startButton()->click();
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 2);
        second.serverEdit()->setText(u"http://192.0.2.8/"_qs);
        QVERIFY(!second.plainHttpAllowed());
        // This machine is never asked about.
        second.serverEdit()->setText(m_server->root().toString());
        QVERIFY(second.mayUsePlainHttp());
        QCOMPARE(dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 2);
    }

private:
    LanguageFile m_texts;
    std::unique_ptr<DavServer> m_server;
};

QTEST_MAIN(TestSyncChoice)
#include "tst_syncchoice.moc"
