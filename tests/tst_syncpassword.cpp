// SPDX-License-Identifier: GPL-3.0-or-later
// The server's password and the desktop's keyring, for real: a private
// session bus of this test with gnome-keyring-daemon on it, unlocked, and
// Radicale with a password. Asked once with "Im Schlüsselbund merken"
// ticked, the password goes to the keyring and the next sync asks nothing;
// it is in no file of the program's; one the server refused is not kept.

#include "app/frame/MainWindow.h"
#include "app/sync/SyncDialogs.h"
#include "support/DavServer.h"
#include "support/DialogPicture.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"
#include "sync/Keyring.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QInputDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kUser = u"anna"_s;
const QString kPassword = u"Geheim-4711"_s;

} // namespace

class TestSyncPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString why;
        if (!startKeyring(&why))
            QSKIP(qPrintable(u"no keyring for this test: "_s + why));
        m_server = std::make_unique<q7::test::DavServer>(
            q7::test::DavServer::Radicale, q7::test::DavServer::Options{kUser, kPassword, {}, {}});
        QString error;
        QVERIFY2(m_server->start(&error), qPrintable(error));
        m_book = m_server->root().resolved(QUrl(u"/anna/familie/"_s));
        sync::CardDavClient client({m_book, kUser, kPassword, false});
        QVERIFY(q7::test::makeAddressBook(client, m_book, u"Familie"_s));
    }
    void cleanupTestCase()
    {
        m_server.reset();
        // By their process ids, the keyring before the bus it is on.
        q7::test::DavServer::stopProcess(m_keyring);
        q7::test::DavServer::stopProcess(m_bus);
    }
    void init() { sync::Keyring::forget(m_book, kUser); }

    // Typed into the choice or asked for when the keyring had none: either
    // way the keyring has it once the server took it, and the next sync
    // neither asks nor needs it typed.
    void askedOnceThenKept_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("asked for") << false;
        QTest::newRow("typed into the choice") << true;
    }
    void askedOnceThenKept()
    {
        QFETCH(bool, typed);
        WindowFixture f;
        f.sim.setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        f.startOnSim();
        QVERIFY(f.handsetFound());
        QPushButton* button = f.window->phonebookPage().syncButton();

        chooseServer(f, typed ? kPassword : QString());
        if (!typed)
            f.dialogs.queueDialog([&](QDialog& dialog) {
                auto& question = dynamic_cast<QInputDialog&>(dialog);
                question.setTextValue(kPassword);
                q7::test::keepPicture(dialog, u"password.png"_s);
                return int(QDialog::Accepted);
            });
        f.dialogs.queueDialog([&](QDialog&) { return int(QDialog::Accepted); });
        button->click();
        QVERIFY2(synced(f), qPrintable(lastMessage(f)));
        const sync::Keyring::Lookup kept = sync::Keyring::read(m_book, kUser);
        QCOMPARE(kept.outcome, sync::Keyring::Outcome::Done);
        QCOMPARE(kept.password, kPassword);

        // The second sync: nothing typed, nothing asked, the server reached.
        f.dialogs.clearCalls();
        chooseServer(f, {});
        f.dialogs.queueDialog([&](QDialog&) { return int(QDialog::Accepted); });
        button->click();
        QStringList shown;
        for (const ScriptedDialogs::Call& call : f.dialogs.callsOf(ScriptedDialogs::Kind::Dialog))
            shown << call.dialogClass;
        QCOMPARE(shown, (QStringList{"q7::SyncChoiceDialog", "q7::SyncPlanDialog"}));
        QVERIFY2(synced(f), qPrintable(lastMessage(f)));

        // Neither the settings, the sync state nor the snapshots hold it.
        QDirIterator files(f.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        int looked = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains(kPassword.toUtf8()), qPrintable(file.fileName()));
            ++looked;
        }
        QVERIFY(looked >= 2);
    }

    // A password the server refused is named and not kept.
    void refusedNotKept()
    {
        WindowFixture f;
        f.sim.setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        f.startOnSim();
        QVERIFY(f.handsetFound());
        chooseServer(f, u"falsch"_s);
        f.window->phonebookPage().syncButton()->click();
        QVERIFY2(lastMessage(f).contains("401"), qPrintable(lastMessage(f)));
        QCOMPARE(sync::Keyring::read(m_book, kUser).outcome, sync::Keyring::Outcome::NotStored);
    }

private:
    // A session bus of this test (as dbus-run-session starts one) with the
    // keyring's secret service on it, its login keyring unlocked.
    bool startKeyring(QString* why)
    {
        const QString runtime = m_home.filePath(u"runtime"_s);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_s, m_home.path());
        env.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u"data"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u"config"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
        m_bus.setProcessEnvironment(env);
        m_bus.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s});
        if (!m_bus.waitForStarted(5000) || !m_bus.waitForReadyRead(5000)) {
            *why = u"dbus-daemon did not start: "_s + m_bus.errorString();
            return false;
        }
        const QByteArray address = m_bus.readLine().trimmed();
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromLocal8Bit(address));
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);

        m_keyring.setProcessEnvironment(env);
        m_keyring.setProcessChannelMode(QProcess::MergedChannels);
        m_keyring.start(u"gnome-keyring-daemon"_s,
                        {u"--foreground"_s, u"--unlock"_s, u"--components=secrets"_s});
        if (!m_keyring.waitForStarted(5000)) {
            *why =
                u"gnome-keyring-daemon (gnome-keyring) did not start: "_s + m_keyring.errorString();
            return false;
        }
        m_keyring.write("keyring-of-the-test");
        m_keyring.closeWriteChannel();
        // On the bus once it owns the secret service's name; asked with
        // dbus-send, since a question through the service would start
        // another daemon of the bus's own.
        const bool up = QTest::qWaitFor(
            [&] {
                if (m_keyring.state() != QProcess::Running)
                    return true;
                QProcess ask;
                ask.setProcessEnvironment(env);
                ask.start(u"dbus-send"_s,
                          {u"--session"_s, u"--print-reply"_s, u"--dest=org.freedesktop.DBus"_s,
                           u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus.NameHasOwner"_s,
                           u"string:org.freedesktop.secrets"_s});
                return ask.waitForFinished(2000) && ask.readAll().contains("boolean true");
            },
            10000);
        if (!up || m_keyring.state() != QProcess::Running) {
            *why = u"gnome-keyring-daemon did not come up: "_s +
                   QString::fromLocal8Bit(m_keyring.readAll());
            return false;
        }
        return true;
    }

    void chooseServer(WindowFixture& f, const QString& password)
    {
        f.dialogs.queueDialog([this, password](QDialog& dialog) {
            auto& choice = dynamic_cast<SyncChoiceDialog&>(dialog);
            choice.serverChoice()->setChecked(true);
            choice.serverEdit()->setText(m_book.toString());
            choice.userEdit()->setText(kUser);
            choice.passwordEdit()->setText(password);
            choice.rememberBox()->setChecked(true);
            q7::test::keepPicture(dialog, u"choice.png"_s);
            return int(QDialog::Accepted);
        });
    }

    // The sync's summary says all went through.
    static bool synced(WindowFixture& f)
    {
        const QList<ScriptedDialogs::Call> messages =
            f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        return !messages.isEmpty() && messages.last().icon == QMessageBox::Information &&
               (messages.last().text.startsWith("Abgeglichen") ||
                messages.last().text.contains("Gleichstand"));
    }
    static QString lastMessage(WindowFixture& f)
    {
        const QList<ScriptedDialogs::Call> messages =
            f.dialogs.callsOf(ScriptedDialogs::Kind::Message);
        return messages.isEmpty() ? QString() : messages.last().text;
    }

    QTemporaryDir m_home;
    QProcess m_bus;
    QProcess m_keyring;
    std::unique_ptr<q7::test::DavServer> m_server;
    QUrl m_book;
};

QTEST_MAIN(TestSyncPassword)
#include "tst_syncpassword.moc"
