// SPDX-License-Identifier: GPL-3.0-or-later
// The password's place in the desktop's keyring: its name there, and what
// happens where no keyring answers (the window then asks at each sync):
// nothing is written anywhere else.

#include "sync/Keyring.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace q7::sync;
using namespace Qt::Literals::StringLiterals;

class TestKeyring : public QObject
{
    Q_OBJECT

private slots:
    void key_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("key");
        QTest::newRow("address book") << "https://cloud.example.org/remote.php/dav/addressbooks/"
                                         "users/anna/contacts/"
                                      << "anna@https://cloud.example.org";
        QTest::newRow("port, user in URL") << "https://bob:pw@dav.example.org:8443/x?y#z"
                                           << "anna@https://dav.example.org:8443";
        QTest::newRow("loopback") << "http://127.0.0.1:5232/"
                                  << "anna@http://127.0.0.1:5232";
    }
    void key()
    {
        QFETCH(QString, url);
        QFETCH(QString, key);
        QCOMPARE(Keyring::key(QUrl(url), u"anna"_s), key);
    }

    // No session bus, so no keyring: every call says so, soon, and the
    // password lands in no file.
    void noKeyring()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toLocal8Bit());
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QStandardPaths::setTestModeEnabled(false);

        const QUrl server(u"https://cloud.example.org/dav/"_s);
        QElapsedTimer took;
        took.start();
        QCOMPARE(Keyring::store(server, u"anna"_s, u"Geheimnis-4711"_s),
                 Keyring::Outcome::NoKeyring);
        const Keyring::Lookup lookup = Keyring::read(server, u"anna"_s);
        QCOMPARE(lookup.outcome, Keyring::Outcome::NoKeyring);
        QVERIFY(lookup.password.isEmpty());
        QVERIFY2(took.elapsed() < 20000, qPrintable(QString::number(took.elapsed())));

        QDirIterator files(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(!file.readAll().contains("Geheimnis-4711"), qPrintable(file.fileName()));
        }
    }
};

QTEST_GUILESS_MAIN(TestKeyring)
#include "tst_keyring.moc"
