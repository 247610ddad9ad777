// SPDX-License-Identifier: GPL-3.0-or-later
// The two character sets and the language file's lookup rules.

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "link/GsmText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

QByteArray allBytes()
{
    QByteArray out;
    for (int b = 0; b < 256; ++b)
        out.append(char(b));
    return out;
}

} // namespace

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void convertsBetweenHandsetAndPc_data()
    {
        QTest::addColumn<QByteArray>("handset");
        QTest::addColumn<QByteArray>("pc");
        QTest::newRow("at, pound, A umlaut") << bytes({143, 1, 91}) << bytes({64, 163, 196});
        QTest::newRow("underscore is 17") << bytes({17}) << QByteArray("_");
        QTest::newRow("section sign is 95") << bytes({95}) << bytes({167});
        QTest::newRow("A acute, not A ring") << bytes({14}) << bytes({193});
        QTest::newRow("Joerg") << QByteArray("J|rg") << QByteArray("J\xf6rg");
        QTest::newRow("line ends and digits pass")
            << QByteArray("\r\n0123456789") << QByteArray("\r\n0123456789");
    }
    void convertsBetweenHandsetAndPc()
    {
        QFETCH(QByteArray, handset);
        QFETCH(QByteArray, pc);
        QCOMPARE(handsetToPc(handset), pc);
        QCOMPARE(pcToHandset(pc), handset);
    }

    // A round trip changes exactly the bytes that one side lists and the
    // other does not: what the handset shows differently after a write.
    void roundTripsChangeExactlyTheOneSidedBytes()
    {
        const QSet<int> changedFromHandset = {36,  64,  163, 165, 167, 193, 196, 198, 199,
                                              209, 214, 216, 220, 223, 224, 228, 229, 230,
                                              232, 233, 236, 241, 242, 246, 248, 249, 252};
        const QSet<int> changedFromPc = {1,  2,  3,  4,   5,   6,   7,   8,   9,
                                         11, 12, 14, 15,  17,  28,  29,  30,  91,
                                         92, 93, 94, 123, 124, 125, 126, 127, 143};
        const QByteArray all = allBytes();
        const QByteArray viaPc = pcToHandset(handsetToPc(all));
        const QByteArray viaHandset = handsetToPc(pcToHandset(all));
        for (int b = 0; b < 256; ++b) {
            QCOMPARE(viaPc[b] != all[b], changedFromHandset.contains(b));
            QCOMPARE(viaHandset[b] != all[b], changedFromPc.contains(b));
        }
        QCOMPARE(pcToHandset(handsetToPc(bytes({36}))), bytes({2}));
        QCOMPARE(handsetToPc(pcToHandset("[{|}~\\")), QByteArray("\xc4\xe4\xf6\xf1\xfc\xd6"));
    }

    void pcTextRoundTripsEveryByte()
    {
        QCOMPARE(encodePc(decodePc(allBytes())), allBytes());
        QCOMPARE(decodePc("\x80\xe4"), QStringLiteral("€ä"));
        QCOMPARE(encodePc(u"Ω"), QByteArray("?"));
    }

    // One question mark for each character the PC set lacks, however many
    // UTF-16 units it takes.
    void onePlaceholderPerCharacter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("pc");
        QTest::newRow("an emoji") << QStringLiteral("Oma \U0001F600") << QByteArray("Oma ?");
        QTest::newRow("two emoji side by side")
            << QStringLiteral("\U0001F600\U0001F44Dx") << QByteArray("??x");
        QTest::newRow("a letter of the first plane")
            << QStringLiteral("Łukasz") << QByteArray("?ukasz");
        QTest::newRow("a lone half stays one mark")
            << QString(QChar(0xD83D)) + u'x' << QByteArray("?x");
        QTest::newRow("the euro sign is in the set")
            << QStringLiteral("5 €") << QByteArray("5 \x80");
    }

    void onePlaceholderPerCharacter()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, pc);
        QCOMPARE(encodePc(text), pc);
    }

    void languageFileLookup_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray file = "[TAB_Telefonbuch]\r\nBtn_Close=&Quit\r\nBtn_Leer=\r\n"
                                "  Spaced  =  padded value  \r\n[NUMMERNART]\r\nMobil=Cell\r\n"
                                "Fax=\"quoted\"\r\n[Statusleiste]\r\nLesen=Lese \xe4\r\n";
        QTest::newRow("present") << file << "TAB_Telefonbuch"
                                 << "Btn_Close"
                                 << "&Quit";
        QTest::newRow("names ignore case") << file << "tab_telefonbuch"
                                           << "BTN_CLOSE"
                                           << "&Quit";
        QTest::newRow("section in capitals") << file << "Nummernart"
                                             << "Mobil"
                                             << "Cell";
        QTest::newRow("empty value is empty, not the default") << file << "TAB_Telefonbuch"
                                                               << "Btn_Leer"
                                                               << "";
        QTest::newRow("missing key") << file << "TAB_Telefonbuch"
                                     << "Nope"
                                     << "default";
        QTest::newRow("missing section") << file << "Nowhere"
                                         << "Btn_Close"
                                         << "default";
        QTest::newRow("blanks around") << file << "TAB_Telefonbuch"
                                       << "Spaced"
                                       << "padded value";
        QTest::newRow("quotes stripped") << file << "Nummernart"
                                         << "Fax"
                                         << "quoted";
        QTest::newRow("Windows-1252") << file << "Statusleiste"
                                      << "Lesen"
                                      << "Lese ä";
        QTest::newRow("key of another section") << file << "Statusleiste"
                                                << "Mobil"
                                                << "default";
    }
    void languageFileLookup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(profileString(file, section, key, QStringLiteral("default")), expected);
    }

    void longValuesAreCut()
    {
        const QByteArray file = "[S]\nK=" + QByteArray(3000, 'x') + "\n";
        QCOMPARE(profileString(file, u"S", u"K", QString()).size(), 2047);
    }

    void languageFileEncoding_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8 with byte order mark")
            << QByteArray("\xEF\xBB\xBF[S]\r\nK=B\xC3\xBCro\r\n") << "Büro";
        QTest::newRow("byte order mark before an ASCII file")
            << QByteArray("\xEF\xBB\xBF[S]\r\nK=Office\r\n") << "Office";
        QTest::newRow("UTF-8 without byte order mark")
            << QByteArray("[S]\r\nK=Funkrufempf\xC3\xA4nger \xE2\x82\xAC\r\n")
            << "Funkrufempfänger €";
        QTest::newRow("Windows-1252") << QByteArray("[S]\r\nK=B\xFCro \x80\r\n") << "Büro €";
        // One line that is not UTF-8 makes the whole file Windows-1252.
        QTest::newRow("UTF-8 look-alike among Windows-1252")
            << QByteArray("[S]\r\nK=\xC3\xA4\r\nL=\xE4\r\n") << "Ã¤";
    }
    void languageFileEncoding()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QCOMPARE(profileString(file, u"S", u"K", QStringLiteral("default")), expected);
    }

    void cutCountsCharactersNotBytes()
    {
        const QByteArray umlauts = QStringLiteral("ä").repeated(3000).toUtf8();
        QCOMPARE(profileString("[S]\nK=" + umlauts + "\n", u"S", u"K", QString()),
                 QStringLiteral("ä").repeated(2047));
        // A character beyond 16 bits counts once and is never split.
        const QString clefs = QString::fromUtf8("\xF0\x9D\x84\x9E").repeated(2100);
        const QString cut = profileString("[S]\nK=" + clefs.toUtf8() + "\n", u"S", u"K", QString());
        QCOMPARE(cut, clefs.left(2 * 2047));
    }

    void languageFileFollowsTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("q7manager.ini"));
        LanguageFile texts(path);
        QVERIFY(!texts.exists());
        QCOMPARE(texts.text(TextId::Nummernart_Buero), QStringLiteral("Büro"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Nummernart]\nTelefon=Phone\nBuero=Office\n");
        file.close();
        QVERIFY(texts.exists());
        QCOMPARE(texts.text(TextId::Nummernart_Buero), QStringLiteral("Office"));
        // The first type is looked up under "NummernArt": the same section.
        QCOMPARE(texts.text(TextId::Nummernart_Telefon), QStringLiteral("Phone"));

        // Saved again in place, the same size, a moment later: the new text.
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("[Nummernart]\nTelefon=Fonio\nBuero=Bureau\n");
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(2),
                                 QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(texts.text(TextId::Nummernart_Buero), QStringLiteral("Bureau"));
        // Replaced by another file, as an editor saves: read again too.
        QSaveFile replacement(path);
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        replacement.write("[Nummernart]\nTelefon=Fonio\nBuero=Ufficio\n");
        QVERIFY(replacement.commit());
        QCOMPARE(texts.text(TextId::Nummernart_Buero), QStringLiteral("Ufficio"));
        QVERIFY(QFile::remove(path));
        QCOMPARE(texts.text(TextId::Nummernart_Buero), QStringLiteral("Büro"));
    }

    // Two sections of one name: the first decides, also for a key only the
    // second holds; the first key of a name decides too.
    void firstSectionAndKeyDecide()
    {
        const QByteArray file = "[S]\nK=first\nK=second\n[T]\nX=t\n[s]\nL=late\n";
        QCOMPARE(profileString(file, u"S", u"K", QStringLiteral("default")), u"first");
        QCOMPARE(profileString(file, u"S", u"L", QStringLiteral("default")), u"default");
        QCOMPARE(profileString(file, u"T", u"X", QStringLiteral("default")), u"t");
    }

    void languageFileSitsBesideTheProgram_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("file");
        QTest::newRow("three-letter extension") << "F/PROG.EXE"
                                                << "F/PROG.ini";
        QTest::newRow("no extension") << "/opt/q7/q7manager"
                                      << "/opt/q7/q7manager.ini";
        QTest::newRow("dot in the folder only") << "/opt/q7.app/q7ctl"
                                                << "/opt/q7.app/q7ctl.ini";
    }
    void languageFileSitsBesideTheProgram()
    {
        QFETCH(QString, program);
        QFETCH(QString, file);
        QCOMPARE(LanguageFile::pathForProgram(program), file);
    }

    // An installed program cannot have a file beside it; the user puts one in
    // the settings folder instead, and one beside the program still wins.
    void languageFileBesideTheProgramElseInTheSettingsFolder()
    {
        QTemporaryDir dir;
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        const QString program = dir.filePath(QStringLiteral("bin/q7manager"));
        const QString beside = dir.filePath(QStringLiteral("bin/q7manager.ini"));
        const QString inSettings = dir.filePath(QStringLiteral("config/Norvik/q7manager.ini"));
        QCOMPARE(LanguageFile::locate(program), beside); // neither: the usual place

        QVERIFY(QDir().mkpath(QFileInfo(inSettings).path()));
        QFile(inSettings).open(QIODevice::WriteOnly);
        QCOMPARE(LanguageFile::locate(program), inSettings);

        QVERIFY(QDir().mkpath(QFileInfo(beside).path()));
        QFile(beside).open(QIODevice::WriteOnly);
        QCOMPARE(LanguageFile::locate(program), beside);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
