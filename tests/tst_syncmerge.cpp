// SPDX-License-Identifier: GPL-3.0-or-later
// The three-way merge of a handset entry and a card against what each side
// held at the last sync, as tables of cases.

#include "sync/SyncMerge.h"

#include <QTest>

using namespace q7::sync;

namespace {

// "Bert Muster;Familie;0171111:8,030222:6": name, group, numbers with their
// type images (5 Telefon, 6 Heim, 7 Büro, 8 Mobil, 9 Fax); "-" for a side
// that is gone.
std::optional<ContactFields> fields(const QString& text)
{
    if (text == u"-")
        return std::nullopt;
    const QStringList parts = text.split(u';');
    ContactFields out{parts.value(0), {}, parts.value(1)};
    for (const QString& number : parts.value(2).split(u',', Qt::SkipEmptyParts))
        out.numbers << SyncNumber{number.section(u':', 0, 0), number.section(u':', 1).toInt()};
    return out;
}

QString text(const ContactFields& f)
{
    QStringList numbers;
    for (const SyncNumber& n : f.numbers)
        numbers << n.number + u':' + QString::number(n.image);
    return f.name + u';' + f.group + u';' + numbers.join(u',');
}

const QString kLong = QStringLiteral("Maximilian Alexander von Hohenzollern-Sigmaringen");
const QString kCut = kLong.left(30);

} // namespace

class TestSyncMerge : public QObject
{
    Q_OBJECT

private slots:
    void mergePair_data()
    {
        QTest::addColumn<QString>("handsetBase"); // empty: no base (first sync)
        QTest::addColumn<QString>("cardBase");
        QTest::addColumn<QString>("handset");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QString>("prefer"); // "", "handset", "card"
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("toHandset");
        QTest::addColumn<QString>("toCard");
        QTest::addColumn<QStringList>("conflicts");
        QTest::addColumn<QString>("restored"); // "", "handset", "card"

        const QString bert = "Bert;Familie;0171111:8,030222:6";
        const int merged = int(PairMerge::Outcome::Merged);
        QTest::newRow("nothing changed")
            << bert << bert << bert << bert << "" << merged << bert << bert << QStringList() << "";
        QTest::newRow("renamed on the handset")
            << bert << bert << "Bertram;Familie;0171111:8,030222:6" << bert << "" << merged
            << "Bertram;Familie;0171111:8,030222:6"
            << "Bertram;Familie;0171111:8,030222:6" << QStringList() << "";
        QTest::newRow("group changed on the card")
            << bert << bert << bert << "Bert;Arbeit;0171111:8,030222:6"
            << "" << merged << "Bert;Arbeit;0171111:8,030222:6"
            << "Bert;Arbeit;0171111:8,030222:6" << QStringList() << "";
        QTest::newRow("each side changed another field")
            << bert << bert << "Bertram;Familie;0171111:8,030222:6"
            << "Bert;Familie;0171111:8,030222:7"
            << "" << merged << "Bertram;Familie;0171111:8,030222:7"
            << "Bertram;Familie;0171111:8,030222:7" << QStringList() << "";
        QTest::newRow("both renamed alike")
            << bert << bert << "Berta;Familie;0171111:8,030222:6"
            << "Berta;Familie;0171111:8,030222:6"
            << "" << merged << "Berta;Familie;0171111:8,030222:6"
            << "Berta;Familie;0171111:8,030222:6" << QStringList() << "";
        QTest::newRow("both renamed otherwise: a conflict, each keeps its own")
            << bert << bert << "Berta;Familie;0171111:8,030222:6"
            << "Bertram;Familie;0171111:8,030222:6"
            << "" << merged << "Berta;Familie;0171111:8,030222:6"
            << "Bertram;Familie;0171111:8,030222:6" << QStringList{"name"} << "";
        QTest::newRow("both renamed, the handset preferred")
            << bert << bert << "Berta;Familie;0171111:8,030222:6"
            << "Bertram;Familie;0171111:8,030222:6"
            << "handset" << merged << "Berta;Familie;0171111:8,030222:6"
            << "Berta;Familie;0171111:8,030222:6" << QStringList() << "";
        QTest::newRow("both retyped a number, the address book preferred")
            << bert << bert << "Bert;Familie;0171111:8,030222:7"
            << "Bert;Familie;0171111:8,030222:9"
            << "card" << merged << "Bert;Familie;0171111:8,030222:9"
            << "Bert;Familie;0171111:8,030222:9" << QStringList() << "";
        QTest::newRow("both retyped a number otherwise")
            << bert << bert << "Bert;Familie;0171111:8,030222:7"
            << "Bert;Familie;0171111:8,030222:9"
            << "" << merged << "Bert;Familie;0171111:8,030222:7"
            << "Bert;Familie;0171111:8,030222:9" << QStringList{"tel:030222"} << "";
        QTest::newRow("number removed on the card, retyped on the handset: the change wins")
            << bert << bert << "Bert;Familie;0171111:8,030222:7"
            << "Bert;Familie;0171111:8"
            << "" << merged << "Bert;Familie;0171111:8,030222:7"
            << "Bert;Familie;0171111:8,030222:7" << QStringList() << "";
        QTest::newRow("number added on the card, another removed on the handset")
            << bert << bert << "Bert;Familie;0171111:8"
            << "Bert;Familie;0171111:8,030222:6,089:7"
            << "" << merged << "Bert;Familie;0171111:8,089:7"
            << "Bert;Familie;0171111:8,089:7" << QStringList() << "";
        QTest::newRow("deleted on the handset, the card unchanged")
            << bert << bert << "-" << bert << "" << int(PairMerge::Outcome::DeleteCard) << ";;"
            << ";;" << QStringList() << "";
        QTest::newRow("deleted on the handset, the card changed: the entry comes back")
            << bert << bert << "-"
            << "Bert;Familie;0171111:8,030222:6,089:7"
            << "" << merged << "Bert;Familie;0171111:8,030222:6,089:7"
            << "Bert;Familie;0171111:8,030222:6,089:7" << QStringList() << "handset";
        QTest::newRow("card deleted, the entry unchanged")
            << bert << bert << bert << "-"
            << "" << int(PairMerge::Outcome::DeleteHandset) << ";;"
            << ";;" << QStringList() << "";
        QTest::newRow("card deleted, the entry changed: the card comes back")
            << bert << bert << "Bertram;Familie;0171111:8,030222:6"
            << "-"
            << "" << merged << "Bertram;Familie;0171111:8,030222:6"
            << "Bertram;Familie;0171111:8,030222:6" << QStringList() << "card";
        QTest::newRow("both deleted") << bert << bert << "-"
                                      << "-"
                                      << "" << int(PairMerge::Outcome::Unlinked) << ";;"
                                      << ";;" << QStringList() << "";

        // What only one side can hold.
        const QString longCard = kLong + ";;0171111:8";
        const QString cutEntry = kCut + ";;0171111:8";
        QTest::newRow("a name the handset holds cut is no change")
            << cutEntry << longCard << cutEntry << longCard << "" << merged << cutEntry << longCard
            << QStringList() << "";
        QTest::newRow("a long name new on the card reaches the handset cut")
            << "Max;;0171111:8"
            << "Max;;0171111:8"
            << "Max;;0171111:8" << longCard << "" << merged << cutEntry << longCard << QStringList()
            << "";
        const QString four = "Bert;;0171111:8,030222:6,089333:7,040444:9";
        const QString three = "Bert;;0171111:8,030222:6,089333:7";
        QTest::newRow("a fourth number on the card stays there")
            << three << four << "Bert;;0171111:8,030222:6,089333:5" << four << "" << merged
            << "Bert;;0171111:8,030222:6,089333:5"
            << "Bert;;0171111:8,030222:6,089333:5,040444:9" << QStringList() << "";
        QTest::newRow("a number new on the card with the handset full")
            << three << three << three << "Bert;;0171111:8,030222:6,089333:7,040444:9"
            << "" << merged << three << "Bert;;0171111:8,030222:6,089333:7,040444:9"
            << QStringList() << "";
        QTest::newRow("a number the card writes internationally is the same number")
            << bert << "Bert;Familie;+49171111:8,+4930222:6" << bert
            << "Bert;Familie;+49171111:8,+4930222:6"
            << "" << merged << bert << "Bert;Familie;+49171111:8,+4930222:6" << QStringList() << "";

        // The first sync: no base.
        QTest::newRow("first sync: one number in common, names differ")
            << ""
            << ""
            << "Bert;;0171111:8"
            << "Bert Muster;;0171111:8,030222:6"
            << "" << merged << "Bert;;0171111:8,030222:6"
            << "Bert Muster;;0171111:8,030222:6" << QStringList{"name"} << "";
        QTest::newRow("first sync: the group of one side goes to the other")
            << ""
            << ""
            << "Bert;Familie;0171111:8"
            << "Bert;;0171111:8"
            << "" << merged << "Bert;Familie;0171111:8"
            << "Bert;Familie;0171111:8" << QStringList() << "";
        QTest::newRow("first sync: a plain Telefon takes the other side's type")
            << ""
            << ""
            << "Bert;;030222:5"
            << "Bert;;030222:7"
            << "" << merged << "Bert;;030222:7"
            << "Bert;;030222:7" << QStringList() << "";
        QTest::newRow("first sync: the numbers the handset holds stay before new ones")
            << ""
            << ""
            << "Bert;;030111:7,030222:9,030333:10"
            << "Bert;;030111:7,030222:9,030333:10,0171:8,030444:6"
            << "" << merged << "Bert;;030111:7,030222:9,030333:10"
            << "Bert;;030111:7,030222:9,030333:10,0171:8,030444:6" << QStringList() << "";
        QTest::newRow("first sync: a name the handset holds cut")
            << ""
            << "" << cutEntry << longCard << "" << merged << cutEntry << longCard << QStringList()
            << "";
    }
    void mergePair()
    {
        QFETCH(QString, handsetBase);
        QFETCH(QString, cardBase);
        QFETCH(QString, handset);
        QFETCH(QString, card);
        QFETCH(QString, prefer);
        QFETCH(int, outcome);
        QFETCH(QString, toHandset);
        QFETCH(QString, toCard);
        QFETCH(QStringList, conflicts);
        QFETCH(QString, restored);

        std::optional<PairBase> base;
        if (!handsetBase.isEmpty())
            base = PairBase{*fields(handsetBase), *fields(cardBase)};
        MergeContext context;
        if (prefer == u"handset")
            context.prefer = Side::Handset;
        else if (prefer == u"card")
            context.prefer = Side::AddressBook;
        const PairMerge result = q7::sync::mergePair(base, fields(handset), fields(card), context);
        QCOMPARE(int(result.outcome), outcome);
        if (result.outcome != PairMerge::Outcome::Merged)
            return;
        QVERIFY2(sameFields(result.handset, *fields(toHandset), 49),
                 qPrintable(text(result.handset)));
        QVERIFY2(sameFields(result.card, *fields(toCard), 49), qPrintable(text(result.card)));
        QStringList keys;
        for (const FieldConflict& conflict : result.conflicts)
            keys << conflict.key;
        QCOMPARE(keys, conflicts);
        QCOMPARE(result.settled.isEmpty(), prefer.isEmpty());
        QCOMPARE(result.restored == Side::Handset, restored == u"handset");
        QCOMPARE(result.restored == Side::AddressBook, restored == u"card");
        QCOMPARE(result.handsetChanges,
                 handset == u"-" || !sameFields(*fields(handset), result.handset, 49));
        QCOMPARE(result.cardChanges, card == u"-" || !sameFields(*fields(card), result.card, 49));
    }

    // A conflict left open keeps its old base, so the next sync shows it again.
    void conflictKeepsItsBase()
    {
        const ContactFields held = *fields("Berta;Familie;0171111:8,030222:7");
        const ContactFields old = *fields("Bert;Familie;0171111:8,030222:6");
        const QList<FieldConflict> conflicts = {
            {FieldConflict::Field::Name, "name", {}, {}},
            {FieldConflict::Field::NumberType, "tel:030222", {}, {}}};
        QCOMPARE(text(baseAfter(held, old, conflicts, 49)), "Bert;Familie;0171111:8,030222:6");
        QCOMPARE(text(baseAfter(held, std::nullopt, conflicts, 49)), ";Familie;0171111:8");
        QCOMPARE(text(baseAfter(held, old, {}, 49)), text(held));
    }

    // The handset's three for a new entry: mobile, home and work first, as
    // an import chooses.
    void handsetProjection()
    {
        const ContactFields card = *fields(kLong + ";;040:9,0171:8,030:6,089:7,0172:8");
        QCOMPARE(text(q7::sync::handsetProjection(card)), kCut + ";;0171:8,0172:8,030:6");
    }
};

QTEST_GUILESS_MAIN(TestSyncMerge)
#include "tst_syncmerge.moc"
