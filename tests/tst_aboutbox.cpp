// SPDX-License-Identifier: GPL-3.0-or-later
// The about box and the disclaimer in the language of the file: what they
// say, and that each folder the about box names opens where it says.

#include "app/frame/AboutBox.h"
#include "app/frame/Warnung.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace q7;

namespace {

// Stands in for the desktop's file manager.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl& url) { opened << url; }
};

QString englishFilePath()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

QString labelText(const QWidget& parent, const char* name)
{
    const auto* label = parent.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Norvik"));
        QCoreApplication::setApplicationName(QStringLiteral("Q7 Manager"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_config.path());
    }

    void saysWhatItIs_data();
    void saysWhatItIs();
    void eachFolderOpens();
    void disclaimerFollowsTheFile_data();
    void disclaimerFollowsTheFile();

private:
    QTemporaryDir m_config;
};

void TestAboutBox::saysWhatItIs_data()
{
    QTest::addColumn<QString>("file"); // empty: none
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("licence");
    QTest::addColumn<QString>("languageFile");
    QTest::newRow("German") << QString() << "Über Q7 Manager"
                            << "Freie Software unter der GNU General Public License"
                            << "keine, das Programm spricht Deutsch";
    QTest::newRow("English") << englishFilePath() << "About Q7 Manager"
                             << "Free software under the GNU General Public License"
                             << englishFilePath();
}

void TestAboutBox::saysWhatItIs()
{
    QFETCH(QString, file);
    QFETCH(QString, caption);
    QFETCH(QString, licence);
    QFETCH(QString, languageFile);

    const LanguageFile texts(file);
    AboutBox box(texts);
    QCOMPARE(box.windowTitle(), caption);
    QVERIFY(labelText(box, "Lbl_Version").endsWith(QStringLiteral(" 1.02")));
    QVERIFY2(labelText(box, "Lbl_Lizenz").startsWith(licence),
             qPrintable(labelText(box, "Lbl_Lizenz")));
    QVERIFY(labelText(box, "Lbl_Lizenz").contains(QStringLiteral("GPL-3.0-or-later")));
    QVERIFY(labelText(box, "Lbl_Qt").contains(QLatin1String(qVersion())));
    QCOMPARE(labelText(box, "Edt_Einstellungen"),
             QFileInfo(m_config.path()).absoluteFilePath() + QStringLiteral("/Norvik"));
    QVERIFY(
        labelText(box, "Edt_Sicherungen").endsWith(QStringLiteral("/Norvik/Q7 Manager/snapshots")));
    QCOMPARE(labelText(box, "Edt_Sprachdatei"), QDir::toNativeSeparators(languageFile));
    // Without a language file there is no folder of it to open.
    QCOMPARE(box.findChild<QPushButton*>(QStringLiteral("Btn_Sprachdatei"))->isEnabled(),
             !file.isEmpty());
}

void TestAboutBox::eachFolderOpens()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q7manager.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const LanguageFile texts(path);
    AboutBox box(texts);
    UrlCatcher desktop;

    QList<QUrl> wanted;
    for (const char* row : {"Btn_Einstellungen", "Btn_Sicherungen", "Btn_Sprachdatei"})
        box.findChild<QPushButton*>(QLatin1String(row))->click();
    for (const QString& folder : box.folders())
        wanted << QUrl::fromLocalFile(folder);
    QCOMPARE(desktop.opened, wanted);
    QCOMPARE(box.folders().at(2), dir.path());
    // No snapshot has been taken: the folder is made so that it can be shown.
    QCOMPARE(box.folders().at(1), snapshotFolder());
    QVERIFY(QFileInfo(snapshotFolder()).isDir());
}

void TestAboutBox::disclaimerFollowsTheFile_data()
{
    QTest::addColumn<QByteArray>("file"); // "-": none
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("accept");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<bool>("germanMemo");

    QTest::newRow("no file") << QByteArray("-") << "Wichtiger Hinweis !!!"
                             << "&Akzeptiert"
                             << "Bitte vor der Benutzung lesen!" << true;
    // Whoever drops in any language file does not read German.
    QTest::newRow("an empty file: the shipped English") << QByteArray() << "Important notice!"
                                                        << "&Accept"
                                                        << "Please read before use!" << false;
    QTest::newRow("the file's own, lines split at \\n")
        << QByteArray("[Warnung]\r\nCaption=Avis\r\nBtn_Akzeptiert=&Oui\r\n"
                      "Text=Lisez ceci !\\n\\nMerci.\r\n")
        << "Avis"
        << "&Oui"
        << "Lisez ceci !" << false;
}

void TestAboutBox::disclaimerFollowsTheFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, caption);
    QFETCH(QString, accept);
    QFETCH(QString, firstLine);
    QFETCH(bool, germanMemo);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q7manager.ini"));
    if (file != "-") {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    TFrm_Warnung warnung;
    warnung.applyTexts(LanguageFile(path));
    QCOMPARE(warnung.windowTitle(), caption);
    QCOMPARE(warnung.findChild<QPushButton*>(QStringLiteral("Btn_Akzeptiert"))->text(), accept);
    const char* shown = germanMemo ? "Mem_Warnung_ger" : "Mem_Warnung_eng";
    const auto* memo = warnung.findChild<QPlainTextEdit*>(QLatin1String(shown));
    QVERIFY(!memo->isHidden());
    const QStringList lines = memo->toPlainText().split(u'\n');
    QCOMPARE(lines.first(), firstLine);
    QVERIFY(lines.size() > 2);
    QVERIFY(lines.at(1).isEmpty());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
