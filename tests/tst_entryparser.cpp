// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Errors.h"
#include "base/PcText.h"
#include "phonebook/EntryParser.h"
#include "phonebook/RecordStore.h"
#include "support/JoergMuster.h"

#include <QTest>
#include <climits>
#include <memory>

using namespace q7;

namespace {

// The expected fields 1..18; the ones not named are empty.
QByteArrayList fields(QByteArrayList named)
{
    while (named.size() < kEntryValueCount)
        named.append(QByteArray());
    return named;
}

QByteArray pc(QStringView text)
{
    return encodePc(text);
}

} // namespace

class TestEntryParser : public QObject
{
    Q_OBJECT

private slots:
    void parsesReply_data();
    void parsesReply();
    void readInteger_data();
    void readInteger();
    void toIntegerNamesTheText();
};

void TestEntryParser::parsesReply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArrayList>("expected");

    QTest::newRow("quoted name with a comma and a blank")
        << QByteArray("-SCER: 5,\"Muster, Max\",\"Familie\",\"TELNO\"\r\n\r\nOK\r\n")
        << fields({"5", "Muster, Max", "Familie", "TELNO"});
    QTest::newRow("a comma followed by a quote cuts the value")
        << QByteArray("-SCER: 5,\"Muster,\"Max\",\"Familie\"\r\n")
        << fields({"5", "\"Muster", "Max", "Familie"});
    QTest::newRow("empty values between two commas")
        << QByteArray("-SCER: 5,\"Max\",,\"TELNO\",,\"0123\"\r\n")
        << fields({"5", "Max", "", "TELNO", "", "0123"});
    QTest::newRow("at most three commas belong to one value")
        << QByteArray("-SCER: 5,\"a,b,c,d,e\",\"Fam\"\r\n")
        << fields({"5", "\"a,b,c,d", "e\"", "Fam"});
    QTest::newRow("leading blanks inside quotes removed, trailing kept")
        << QByteArray("-SCER: 5,\"  Max  \",\" \tFam \"\r\n") << fields({"5", "Max  ", "Fam "});
    QTest::newRow("byte 12 gives o-slash")
        << QByteArray("-SCER: 5,\"\x0cle\"\r\n") << fields({"5", pc(u"øle")});
    QTest::newRow("byte 5 gives e-acute and is kept")
        << QByteArray("-SCER: 5,\"\x05va\"\r\n") << fields({"5", pc(u"éva")});
    QTest::newRow("a 31-character name is cut to 30")
        << QByteArray("-SCER: 5,\"abcdefghijklmnopqrstuvwxyz01234\"\r\n")
        << fields({"5", "abcdefghijklmnopqrstuvwxyz0123"});
    QTest::newRow("Gruppe is not converted, only stripped")
        << QByteArray("-SCER: 5,\"J|rg\",\"\x0cK|che\",\"J|rg\"\r\n")
        << fields({"5", pc(u"Jörg"), "K|che", pc(u"Jörg")});
    QTest::newRow("fewer than 18 values, OK never becomes a value")
        << QByteArray("-SCER: 5,\"Max\"\r\n\r\nOK\r\n") << fields({"5", "Max"});
    QTest::newRow("an echo of the command before the entry")
        << QByteArray("at-scer=12\r\r\n-SCER: 12,\"Max\",\"Fam\"\r\n\r\nOK\r\n")
        << fields({"12", "Max", "Fam"});
    QTest::newRow("an LF inside a value belongs to the value")
        << QByteArray("-SCER: 6,\"ab\ncd\",\"Fam\",\"TELNO\"\r\n\r\nOK\r\n")
        << fields({"6", "ab\ncd", "Fam", "TELNO"});
    QTest::newRow("OK without an entry: the echo is no value")
        << QByteArray("at-scer=5\r\r\nOK\r\n") << fields({});
    QTest::newRow("values after the 18th are not read")
        << QByteArray("-SCER: 5,\"2\",\"3\",\"4\",\"5\",\"6\",\"7\",\"8\",\"9\",\"10\",\"11\","
                      "\"12\",\"13\",\"14\",\"15\",\"16\",\"17\",\"18\",\"19\"\r\n")
        << QByteArrayList{"5",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",
                          "10", "11", "12", "13", "14", "15", "16", "17", "18"};
    QTest::newRow("a CSV line as the import hands it over")
        << QByteArray(" :" + kJoergMusterLine + "\r")
        << fields({"12", pc(u"Jörg Muster"), "Familie", "TELNO", "Mobil", "0123456789", "TELNO", "",
                   "", "TELNO", "", "", "CUSTOM", "", "", "CUSTOM"});
    QTest::newRow("a CSV line of two values")
        << QByteArray(" :5,\"Max\"\r") << fields({"5", "Max"});
}

void TestEntryParser::parsesReply()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArrayList, expected);

    // Whatever the record held before must not show through.
    auto store = std::make_unique<RecordStore>();
    for (int k = 1; k <= kEntryValueCount; ++k)
        store->setField(7, k, "stale");
    store->setField(7, ChangedFlag, kChangedYes);
    store->setField(8, Name, "neighbour");

    parseEntryLine(*store, 7, reply);

    QByteArrayList actual;
    for (int k = 1; k <= kEntryValueCount; ++k)
        actual.append(store->field(7, k));
    QCOMPARE(actual, expected);
    QCOMPARE(store->field(7, ChangedFlag), QByteArray(kChangedNo.toByteArray()));
    QCOMPARE(store->field(8, Name), QByteArray("neighbour"));
}

void TestEntryParser::readInteger_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("plain") << QByteArray("7") << true << 7;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
    QTest::newRow("leading blanks") << QByteArray("  12") << true << 12;
    QTest::newRow("plus sign") << QByteArray("+7") << true << 7;
    QTest::newRow("minus sign") << QByteArray("-7") << true << -7;
    QTest::newRow("dollar hex") << QByteArray("$1F") << true << 31;
    QTest::newRow("0x hex") << QByteArray("0x1f") << true << 31;
    QTest::newRow("0X hex") << QByteArray("0X2bC") << true << 700;
    QTest::newRow("sign before hex") << QByteArray("-$10") << true << -16;
    QTest::newRow("zero") << QByteArray("0") << true << 0;
    QTest::newRow("largest int") << QByteArray("2147483647") << true << INT_MAX;
    QTest::newRow("smallest int") << QByteArray("-2147483648") << true << INT_MIN;

    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("blanks only") << QByteArray("   ") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("7 ") << false << 0;
    QTest::newRow("tab is no blank") << QByteArray("\t7") << false << 0;
    QTest::newRow("letters") << QByteArray("abc") << false << 0;
    QTest::newRow("digits then letters") << QByteArray("1a") << false << 0;
    QTest::newRow("hex digits without prefix") << QByteArray("1F") << false << 0;
    QTest::newRow("dollar alone") << QByteArray("$") << false << 0;
    QTest::newRow("0x alone") << QByteArray("0x") << false << 0;
    QTest::newRow("sign alone") << QByteArray("-") << false << 0;
    QTest::newRow("two signs") << QByteArray("+-7") << false << 0;
    QTest::newRow("blank after sign") << QByteArray("- 7") << false << 0;
    QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
    QTest::newRow("too large in hex") << QByteArray("$80000000") << false << 0;
    QTest::newRow("far too large") << QByteArray("99999999999999999999999") << false << 0;
}

void TestEntryParser::readInteger()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const std::optional<int> result = q7::readInteger(text);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void TestEntryParser::toIntegerNamesTheText()
{
    QCOMPARE(toInteger(" $2A"), 42);
    try {
        toInteger(pc(u"zwölf"));
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), QStringLiteral("'zwölf' ist kein gültiger Integerwert"));
    }
}

QTEST_GUILESS_MAIN(TestEntryParser)
#include "tst_entryparser.moc"
