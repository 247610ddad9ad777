// SPDX-License-Identifier: GPL-3.0-or-later
// A phone client written elsewhere (Gammu) against the simulated handset: it
// must identify it, read both phonebooks as the phonebook file holds them,
// and what it writes must reach the manager. Unpaced, one Gammu run.

#include "SimHandset.h"
#include "SimPhonebook.h"
#include "link/GsmText.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Listed
{
    QString number;
    QString name;
};

// "ME:12" -> number and name, from Gammu's getallmemory output.
using Listing = QMap<QString, Listed>;

Listing parseListing(const QString& output)
{
    static const QRegularExpression header(QStringLiteral("^Memory (\\w+), Location (\\d+)$"));
    static const QRegularExpression value(QStringLiteral("^(General number|Name) +: \"(.*)\"$"));
    Listing listing;
    QString key;
    for (const QString& line : output.split(u'\n')) {
        if (const auto m = header.match(line); m.hasMatch()) {
            key = m.captured(1) + u':' + m.captured(2);
            listing[key];
        } else if (const auto v = value.match(line); v.hasMatch() && !key.isEmpty()) {
            (v.captured(1) == u"Name" ? listing[key].name : listing[key].number) = v.captured(2);
        }
    }
    return listing;
}

// What a client should read: names through the manager's own conversion of
// the handset bytes (the simulated handset has a table of its own).
Listing expectedListing(const q7sim::Phonebook& book)
{
    Listing listing;
    for (auto it = book.cbegin(); it != book.cend(); ++it) {
        const bool sim = it.key() > q7sim::kMeSize;
        const QString key = QStringLiteral("%1:%2")
                                .arg(sim ? u"SM" : u"ME")
                                .arg(sim ? it.key() - q7sim::kMeSize : it.key());
        listing[key] = {QString::fromLatin1(it->at(5)),
                        QString::fromLatin1(q7::handsetToPc(it->at(1)))};
    }
    return listing;
}

QString vCard(const QString& name, const QString& number)
{
    QString quoted;
    for (const char byte : name.toUtf8())
        quoted += QStringLiteral("=%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-"
                          "PRINTABLE:%1\r\nTEL;PREF:%2\r\nEND:VCARD\r\n")
        .arg(quoted, number);
}

} // namespace

class TestGammu : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesLikeAHandset();

private:
    QByteArray run(const QString& program, const QStringList& arguments, int* exitCode);
    void writeFile(const QString& path, const QByteArray& content);

    QTemporaryDir m_dir;
};

void TestGammu::writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TestGammu::run(const QString& program, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel();
    *exitCode = process.waitForFinished(60000) ? process.exitCode() : -1;
    if (*exitCode == -1)
        process.kill();
    return process.readAllStandardOutput();
}

void TestGammu::readsAndWritesLikeAHandset()
{
    const QString gammu = QStandardPaths::findExecutable(QStringLiteral("gammu"));
    QVERIFY2(!gammu.isEmpty(), "gammu is missing: scripts/ensure-deps.sh installs it");
    const QString bookFile = QFINDTESTDATA("../sim/demo/phonebook.csv");
    QVERIFY(!bookFile.isEmpty());

    q7sim::SimOptions options;
    options.phonebookFile = bookFile;
    q7sim::SimHandset sim(options);
    const QString device = sim.start();
    const q7sim::Phonebook book = sim.phonebook();

    // One run of Gammu for everything: each start costs it seconds of probing.
    const QString log = m_dir.filePath(QStringLiteral("gammu.log"));
    const QString rc = m_dir.filePath(QStringLiteral("gammurc"));
    writeFile(rc, QStringLiteral("[gammu]\ndevice = %1\nconnection = at\nlogfile = %2\n"
                                 "logformat = textall\n")
                      .arg(device, log)
                      .toUtf8());
    const QString toMe = m_dir.filePath(QStringLiteral("me.vcf"));
    const QString toSim = m_dir.filePath(QStringLiteral("sim.vcf"));
    // Gammu sends the first in the GSM set, the second (ô) in UCS2.
    writeFile(toMe, vCard(QStringLiteral("Jürgen Größ"), QStringLiteral("+4930777888")).toUtf8());
    writeFile(toSim, vCard(QStringLiteral("Côte Ñandú"), QStringLiteral("0221444")).toUtf8());
    const QString batch = m_dir.filePath(QStringLiteral("batch"));
    writeFile(batch, QStringLiteral("identify\ngetallmemory ME\ngetallmemory SM\n"
                                    "addnew %1 -yes -memory ME\naddnew %2 -yes -memory SM\n")
                         .arg(toMe, toSim)
                         .toUtf8());

    int exitCode = 0;
    const QString output = QString::fromUtf8(
        run(gammu, {QStringLiteral("-c"), rc, QStringLiteral("batch"), batch}, &exitCode));
    const QByteArray where = "Gammu's log: " + log.toUtf8();
    QVERIFY2(exitCode == 0, where.constData());

    QVERIFY2(output.contains(QStringLiteral("Manufacturer         : Vexa")), qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("(TLM-Q7)")), qPrintable(output));
    QVERIFY2(output.contains(QStringLiteral("Firmware             : Rev 1.0")), qPrintable(output));

    const Listing expected = expectedListing(book);
    QVERIFY(expected.contains(QStringLiteral("ME:2")) && expected.contains(QStringLiteral("SM:1")));
    QVERIFY(std::any_of(expected.cbegin(), expected.cend(),
                        [](const Listed& e) { return e.name.contains(u'ö'); }));
    const Listing listed = parseListing(output);
    QCOMPARE(listed.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(listed[it.key()].name, it->name);
        QCOMPARE(listed[it.key()].number, it->number);
    }

    // Both entries Gammu wrote, as the manager reads them.
    QByteArray list = run(QStringLiteral(Q7CTL_PATH),
                          {QStringLiteral("--device"), device, QStringLiteral("list")}, &exitCode);
    QCOMPARE(exitCode, 0);
    const QString manager = QString::fromUtf8(list);
    QVERIFY2(manager.contains(QRegularExpression(
                 QStringLiteral("(^|\\n) *\\d+  Jürgen Größ  \\+4930777888\\n"))),
             qPrintable(manager));
    QVERIFY2(manager.contains(
                 QRegularExpression(QStringLiteral("(^|\\n) *5\\d\\d  Côte Ñandú  0221444\\n"))),
             qPrintable(manager));
}

QTEST_GUILESS_MAIN(TestGammu)
#include "tst_gammu.moc"
