// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/PhoneNumbers.h"

#include <QTest>

using namespace q7;

class TestPhoneNumbers : public QObject
{
    Q_OBJECT

private slots:
    void typedNumbers_data();
    void typedNumbers();
    void forms_data();
    void forms();
    void sameLine_data();
    void sameLine();
};

void TestPhoneNumbers::typedNumbers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<bool>("separated");

    QTest::newRow("plain") << "01715556677"
                           << "01715556677"
                           << "" << false;
    QTest::newRow("blanks and hyphen") << "0171-555 66 77"
                                       << "01715556677"
                                       << "" << true;
    QTest::newRow("slashes, dots, brackets") << "(0171) 555/66.77"
                                             << "01715556677"
                                             << "" << true;
    QTest::newRow("international with trunk zero") << "+49 (0)171 5556677"
                                                   << "+491715556677"
                                                   << "" << true;
    QTest::newRow("service codes") << "*#06#"
                                   << "*#06#"
                                   << "" << false;
    QTest::newRow("pauses, any case") << "0301234P5w6"
                                      << "0301234p5w6"
                                      << "" << false;
    QTest::newRow("typographic dash and tab") << "0171\u2013555\t66"
                                              << "017155566"
                                              << "" << true;
    QTest::newRow("letters refused, each once") << "0151abc555a"
                                                << "0151555"
                                                << "abc" << false;
    QTest::newRow("only letters") << "abc123"
                                  << "123"
                                  << "abc" << false;
    QTest::newRow("plus inside refused") << "0171+555"
                                         << "0171555"
                                         << "+" << false;
    QTest::newRow("a second plus refused") << "++49171"
                                           << "+49171"
                                           << "+" << false;
    QTest::newRow("vCard type words") << "business 1"
                                      << "1"
                                      << "busine" << true;
    QTest::newRow("empty") << ""
                           << ""
                           << "" << false;
    QTest::newRow("only separators") << " - "
                                     << ""
                                     << "" << true;
}

void TestPhoneNumbers::typedNumbers()
{
    QFETCH(QString, typed);
    const TypedNumber cleaned = cleanTypedNumber(typed);
    QTEST(cleaned.number, "number");
    QTEST(cleaned.refused, "refused");
    QTEST(cleaned.separated, "separated");
    QCOMPARE(cleaned.accepted(), cleaned.refused.isEmpty());
}

void TestPhoneNumbers::forms_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<int>("countryCode");
    QTest::addColumn<QString>("national");
    QTest::addColumn<QString>("international");

    QTest::newRow("national") << "0171 5556677" << 49 << "01715556677"
                              << "+491715556677";
    QTest::newRow("international") << "+491715556677" << 49 << "01715556677"
                                   << "+491715556677";
    QTest::newRow("double zero") << "0049 171 5556677" << 49 << "01715556677"
                                 << "+491715556677";
    QTest::newRow("trunk zero in brackets") << "+49 (0) 171 5556677" << 49 << "01715556677"
                                            << "+491715556677";
    QTest::newRow("another country stays international") << "+43 1 234567" << 49 << "+431234567"
                                                         << "+431234567";
    QTest::newRow("double zero of another country") << "0043 1234567" << 49 << "+431234567"
                                                    << "+431234567";
    QTest::newRow("Austria as home") << "+43 1 234567" << 43 << "01234567"
                                     << "+431234567";
    QTest::newRow("short service number unchanged") << "112" << 49 << "112"
                                                    << "112";
    QTest::newRow("code") << "*100#" << 49 << "*100#"
                          << "*100#";
}

void TestPhoneNumbers::forms()
{
    QFETCH(QString, number);
    QFETCH(int, countryCode);
    QTEST(nationalNumber(number, countryCode), "national");
    QTEST(internationalNumber(number, countryCode), "international");
}

void TestPhoneNumbers::sameLine_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");

    QTest::newRow("written apart") << "0171-555 66 77"
                                   << "01715556677" << true;
    QTest::newRow("+49 and 0") << "+491715556677"
                               << "0171 5556677" << true;
    QTest::newRow("0049 and +49") << "00491715556677"
                                  << "+49 171 5556677" << true;
    QTest::newRow("other country is not national") << "+431715556677"
                                                   << "01715556677" << false;
    QTest::newRow("prefix only") << "0171555"
                                 << "01715556677" << false;
    QTest::newRow("empty never matches") << ""
                                         << "" << false;
}

void TestPhoneNumbers::sameLine()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QTEST(sameNumber(a, b, 49), "same");
    QTEST(sameNumber(b, a, 49), "same");
}

QTEST_GUILESS_MAIN(TestPhoneNumbers)
#include "tst_phonenumbers.moc"
