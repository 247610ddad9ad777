// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/PcText.h"
#include "editing/EntryFilter.h"

#include <QTest>
#include <memory>

using namespace q7;

namespace {

// Names with umlauts, accents and capitals; numbers written with spaces,
// dashes and brackets.
std::unique_ptr<RecordStore> fixture()
{
    auto store = std::make_unique<RecordStore>();
    auto entry = [&](int r, const QString& name, QByteArrayView n1 = {}, QByteArrayView n3 = {}) {
        store->setField(r, Name, encodePc(name));
        store->setField(r, Nummer1, n1);
        store->setField(r, Nummer3, n3);
    };
    entry(1, u"Jürgen Müller"_qs, "030-12 34 56");
    entry(2, u"RENÉ Dupont"_qs, "(0171) 555 0199");
    entry(3, u"Anna"_qs, "03012345", "+49 89 4711");
    entry(4, u"Zoë 2000"_qs);
    store->setField(4, Gruppe, encodePc(u"Büro"_qs));
    entry(5, u"Kai"_qs, "+491701234567");
    entry(6, u"Lea"_qs, "0170 1234567");
    entry(7, u"Max"_qs, "+43 1 5550");
    entry(8, u"Nina"_qs, "00491709999");
    entry(9, u"Jens Weiß"_qs);
    return store;
}

} // namespace

class TestEntryFilter : public QObject
{
    Q_OBJECT

private slots:
    void finds_data();
    void finds();
    void foldsAsCollationDoes_data();
    void foldsAsCollationDoes();
};

void TestEntryFilter::finds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("found");
    QTest::newRow("empty finds everything") << "" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("blanks find everything") << "  " << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
    QTest::newRow("case ignored") << "müller" << QList<int>{1};
    QTest::newRow("umlaut typed plain") << "muller" << QList<int>{1};
    QTest::newRow("accent typed plain") << "rene" << QList<int>{2};
    QTest::newRow("accent typed") << "René" << QList<int>{2};
    QTest::newRow("part of a name") << "nn" << QList<int>{3};
    QTest::newRow("digits with a blank find both spellings") << "030 12" << QList<int>{1, 3};
    QTest::newRow("brackets and blanks on the number's side") << "0171555" << QList<int>{2};
    QTest::newRow("number 3 counts") << "894711" << QList<int>{3};
    QTest::newRow("plus and blanks typed") << "+49 89" << QList<int>{3};
    QTest::newRow("digits in a name") << "2000" << QList<int>{4};
    QTest::newRow("letters find no number") << "o" << QList<int>{2, 4};
    QTest::newRow("nothing") << "xyz" << QList<int>{};
    QTest::newRow("a group") << "buro" << QList<int>{4};
    QTest::newRow("national finds international") << "01701234" << QList<int>{5, 6};
    QTest::newRow("international finds national") << "+491701234" << QList<int>{5, 6};
    QTest::newRow("00 and the country code") << "0049 170 1234" << QList<int>{5, 6};
    QTest::newRow("national with hyphen finds 0049") << "0170-9999" << QList<int>{8};
    QTest::newRow("another country's code") << "+43 1" << QList<int>{7};
    QTest::newRow("another country's code with 00") << "00431" << QList<int>{7};
    QTest::newRow("the middle of a number") << "1234567" << QList<int>{5, 6};
    QTest::newRow("ss finds ß") << "weiss" << QList<int>{9};
    QTest::newRow("ß finds ß") << "Weiß" << QList<int>{9};
}

void TestEntryFilter::finds()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, found);
    const auto store = fixture();
    const EntryFilter filter(text);
    QList<int> actual;
    for (int r = 1; r <= 9; ++r)
        if (filter.matches(*store, r))
            actual.append(r);
    QCOMPARE(actual, found);
}

void TestEntryFilter::foldsAsCollationDoes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("sharp s") << u"Weiß"_qs << u"weiss"_qs;
    QTest::newRow("capital sharp s") << u"STRAẞE"_qs << u"strasse"_qs;
    QTest::newRow("umlaut and accent") << u"Müller Dupré"_qs << u"muller dupre"_qs;
    QTest::newRow("ae ligature") << u"Æsop"_qs << u"aesop"_qs;
    QTest::newRow("oe ligature") << u"Œuvre"_qs << u"oeuvre"_qs;
    QTest::newRow("slashed o") << u"Søren"_qs << u"soren"_qs;
    QTest::newRow("stroked l and d") << u"Łódź Đorđe"_qs << u"lodz dorde"_qs;
    QTest::newRow("thorn") << u"Þór"_qs << u"thor"_qs;
    QTest::newRow("fi ligature") << u"ﬁsch"_qs << u"fisch"_qs;
}

void TestEntryFilter::foldsAsCollationDoes()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(foldForSearch(text), folded);
}

QTEST_GUILESS_MAIN(TestEntryFilter)
#include "tst_entryfilter.moc"
