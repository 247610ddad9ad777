// SPDX-License-Identifier: GPL-3.0-or-later
// The values below the program key: colours in the Windows byte order,
// flags, the start counter, and the group "Telefonbuch".

#include "base/AppSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace q7;

namespace {

const QString kMissing = QStringLiteral("<missing>");

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void colorConversion_data();
    void colorConversion();

    void flag_data();
    void flag();
    void colorValue_data();
    void colorValue();

    void startCounter_data();
    void startCounter();
    void startCounterCycleShowsEveryFourthStart();
    void declinedDisclaimerKeepsTheCounter_data();
    void declinedDisclaimerKeepsTheCounter();

    void missingGroupGivesDefaults();
    void savedValuesAreDecimalText();
    void savedOptionsComeBackUnchanged();
    void countryCode_data();
    void countryCode();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QSettings> freshSettings();
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

std::unique_ptr<QSettings> TestSettings::freshSettings()
{
    return std::make_unique<QSettings>(m_dir->filePath(QStringLiteral("key.ini")),
                                       QSettings::IniFormat);
}

void TestSettings::colorConversion_data()
{
    QTest::addColumn<int>("windows");
    QTest::addColumn<quint32>("argb");

    QTest::newRow("silver, the background default") << 12632256 << 0xFFC0C0C0u;
    QTest::newRow("blue, the hot-track default, is the high byte") << 16711680 << 0xFF0000FFu;
    QTest::newRow("red is the low byte") << 255 << 0xFFFF0000u;
    QTest::newRow("black") << 0 << 0xFF000000u;
    QTest::newRow("three different bytes keep their places") << 0x00563412 << 0xFF123456u;
}

void TestSettings::colorConversion()
{
    QFETCH(int, windows);
    QFETCH(quint32, argb);
    QCOMPARE(rgbFromWindowsColor(windows), argb);
    QCOMPARE(windowsColorFromRgb(argb), windows);
}

// Stored text (kMissing: no value at all), the fallback, and the flag.
void TestSettings::flag_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("expected");

    QTest::newRow("0 is off") << "0" << true << false;
    QTest::newRow("1 is on") << "1" << false << true;
    QTest::newRow("5 is on") << "5" << false << true;
    QTest::newRow("-1 is on") << "-1" << false << true;
    QTest::newRow("not a number gives the default on") << "abc" << true << true;
    QTest::newRow("not a number gives the default off") << "abc" << false << false;
    QTest::newRow("empty text gives the default") << "" << true << true;
    QTest::newRow("missing gives the default on") << kMissing << true << true;
    QTest::newRow("missing gives the default off") << kMissing << false << false;
}

void TestSettings::flag()
{
    QFETCH(QString, stored);
    QFETCH(bool, fallback);
    QFETCH(bool, expected);

    auto settings = freshSettings();
    if (stored != kMissing)
        settings->setValue(QStringLiteral("Flag"), stored);
    QCOMPARE(storedFlag(*settings, QStringLiteral("Flag"), fallback), expected);
}

void TestSettings::colorValue_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");

    QTest::newRow("decimal text") << "65280" << 65280;
    QTest::newRow("a system colour keeps its sign") << "-2147483640" << -2147483640;
    QTest::newRow("not a number gives the default") << "blau" << kBlue;
    QTest::newRow("more than 32 bits gives the default") << "99999999999" << kBlue;
    QTest::newRow("missing gives the default") << kMissing << kBlue;
}

void TestSettings::colorValue()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);

    auto settings = freshSettings();
    if (stored != kMissing)
        settings->setValue(QStringLiteral("Farbe"), stored);
    QCOMPARE(storedColor(*settings, QStringLiteral("Farbe"), kBlue), expected);
}

void TestSettings::startCounter_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("shown");

    QTest::newRow("first start, no value") << kMissing << "1" << true;
    QTest::newRow("second start") << "1"
                                  << "2" << false;
    QTest::newRow("third start") << "2"
                                 << "3" << false;
    QTest::newRow("fourth start") << "3"
                                  << "-1" << false;
    QTest::newRow("fifth start comes round") << "-1"
                                             << "1" << true;
    QTest::newRow("0 counts as a first start") << "0"
                                               << "1" << true;
    QTest::newRow("not a number counts as missing") << "x"
                                                    << "1" << true;
    QTest::newRow("beyond the cycle") << "7"
                                      << "-1" << false;
    QTest::newRow("the largest integer does not wrap") << "2147483647"
                                                       << "-1" << false;
}

void TestSettings::startCounter()
{
    QFETCH(QString, stored);
    QFETCH(QString, written);
    QFETCH(bool, shown);

    auto settings = freshSettings();
    if (stored != kMissing)
        settings->setValue(kStartCounterKey, stored);
    const StartCount count = advanceStartCounter(*settings);
    QCOMPARE(count.showsDisclaimer(), shown);
    settings->sync();
    QCOMPARE(freshSettings()->value(kStartCounterKey).toString(), written);
}

void TestSettings::startCounterCycleShowsEveryFourthStart()
{
    QList<bool> shown;
    for (int start = 0; start < 9; ++start)
        shown << advanceStartCounter(*freshSettings()).showsDisclaimer();
    QCOMPARE(shown, (QList<bool>{true, false, false, false, true, false, false, false, true}));
}

void TestSettings::declinedDisclaimerKeepsTheCounter_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("asked");

    QTest::newRow("first start, accepted") << kMissing << true << "1" << true;
    QTest::newRow("first start, declined") << kMissing << false << kMissing << true;
    QTest::newRow("fifth start, declined") << "-1" << false << "-1" << true;
    QTest::newRow("not a number, declined") << "x" << false << "x" << true;
    QTest::newRow("second start is not asked") << "1" << false << "2" << false;
    QTest::newRow("fourth start is not asked") << "3" << false << "-1" << false;
}

void TestSettings::declinedDisclaimerKeepsTheCounter()
{
    QFETCH(QString, stored);
    QFETCH(bool, accepted);
    QFETCH(QString, written);
    QFETCH(bool, asked);

    auto settings = freshSettings();
    if (stored != kMissing)
        settings->setValue(kStartCounterKey, stored);
    bool wasAsked = false;
    const bool goesOn = passStartCounter(*settings, [&] {
        wasAsked = true;
        return accepted;
    });
    QCOMPARE(wasAsked, asked);
    QCOMPARE(goesOn, !asked || accepted);
    settings->sync();
    QCOMPARE(freshSettings()->value(kStartCounterKey, kMissing).toString(), written);

    // Declined, the next start asks again.
    if (asked && !accepted) {
        bool askedAgain = false;
        passStartCounter(*freshSettings(), [&] { return askedAgain = true; });
        QVERIFY(askedAgain);
    }
}

void TestSettings::missingGroupGivesDefaults()
{
    // Only the text colour is stored: every other option takes the value a
    // first start shows, written out here rather than taken from the struct,
    // so that a changed default is caught.
    auto settings = freshSettings();
    settings->setValue(QStringLiteral("Telefonbuch/Schriftfarbe"), QStringLiteral("255"));
    const PhonebookOptions loaded = loadPhonebookOptions(*settings);
    QCOMPARE(loaded.schriftfarbe, WindowsColor(255));
    QCOMPARE(loaded.nurGeaenderte, true);
    QCOMPARE(loaded.loeschbefehle, false);
    QCOMPARE(loaded.hintergrundfarbe, WindowsColor(12632256)); // silver
    QCOMPARE(loaded.hottrackfarbe, WindowsColor(16711680));    // blue
    QCOMPARE(settings->group(), QString());
}

// The Windows version reads these with its integer reader: text, never a
// typed value, and a flag exactly "1" or "0".
void TestSettings::savedValuesAreDecimalText()
{
    PhonebookOptions options;
    options.nurGeaenderte = false;
    options.loeschbefehle = true;
    options.hintergrundfarbe = 0x00563412;
    options.schriftfarbe = -2147483640;
    savePhonebookOptions(*freshSettings(), options);

    QFile file(m_dir->filePath(QStringLiteral("key.ini")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("[Telefonbuch]"), text);
    QVERIFY2(text.contains("Nur%20Geaenderte=0"), text);
    QVERIFY2(text.contains("Loeschbefehle=1"), text);
    QVERIFY2(text.contains("Hintergrundfarbe=5649426"), text);
    QVERIFY2(text.contains("Schriftfarbe=-2147483640"), text);
    QVERIFY2(text.contains("Hottrackfarbe=16711680"), text);
}

void TestSettings::savedOptionsComeBackUnchanged()
{
    PhonebookOptions options;
    options.nurGeaenderte = false;
    options.loeschbefehle = true;
    options.hintergrundfarbe = 1;
    options.schriftfarbe = 2;
    options.hottrackfarbe = 3;
    savePhonebookOptions(*freshSettings(), options);
    QCOMPARE(loadPhonebookOptions(*freshSettings()), options);
}

void TestSettings::countryCode_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("countryCode");
    QTest::newRow("missing") << QVariant() << 49;
    QTest::newRow("Austria") << QVariant(QStringLiteral("43")) << 43;
    QTest::newRow("three digits") << QVariant(QStringLiteral("352")) << 352;
    QTest::newRow("zero") << QVariant(QStringLiteral("0")) << 49;
    QTest::newRow("too long") << QVariant(QStringLiteral("4912")) << 49;
    QTest::newRow("with plus") << QVariant(QStringLiteral("+43")) << 43;
    QTest::newRow("no number") << QVariant(QStringLiteral("DE")) << 49;
}

void TestSettings::countryCode()
{
    QFETCH(QVariant, stored);
    auto settings = freshSettings();
    if (stored.isValid())
        settings->setValue(QStringLiteral("Telefonbuch/Laendervorwahl"), stored);
    QTEST(loadCountryCode(*settings), "countryCode");
    QCOMPARE(settings->group(), QString());
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
