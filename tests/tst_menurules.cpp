// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/MenuRules.h"

#include <QTest>
#include <memory>

using namespace q7;

Q_DECLARE_METATYPE(NodeKind)
Q_DECLARE_METATYPE(MenuItem)

namespace {

constexpr MenuItem kTopLevel[] = {
    MenuItem::PM_Editieren,    MenuItem::PM_Loeschen,       MenuItem::PM_Hinzufuegen,
    MenuItem::PM_Einfuegenals, MenuItem::PM_Gruppezuweisen, MenuItem::PM_Verschieben,
    MenuItem::PM_NR_Aendern,   MenuItem::PM_Kopieren,       MenuItem::PM_Ausschneiden,
    MenuItem::PM_Einfuegen,
};

// Record 1 has numbers 1 and 3; record 504 is marked deleted; 501 and 509
// hold First Nine positions.
std::unique_ptr<RecordStore> fixture()
{
    auto store = std::make_unique<RecordStore>();
    store->setField(1, Name, "Anna");
    store->setField(1, Nummer1, "0301");
    store->setField(1, Nummer3, "0303");
    store->setField(501, Name, "Erste");
    store->setField(504, Name, kDeletionMarker);
    store->setField(509, Name, "Neunte");
    return store;
}

QList<QByteArray> groups(int count)
{
    QList<QByteArray> names;
    for (int i = 1; i <= count; ++i)
        names.append("Gruppe " + QByteArray::number(i));
    return names;
}

const NumberClipboard kEmpty;
const NumberClipboard kHolds{"0999", "Heim"};

} // namespace

class TestMenuRules : public QObject
{
    Q_OBJECT

private slots:
    void topLevelByNodeKind_data();
    void topLevelByNodeKind();
    void pasteNeedsANumberInTheClipboard();
    void entryNumbersCheckAndEnable();
    void groupCaptions_data();
    void groupCaptions();
    void firstNineCaptionsNameThePositions();
    void shortcutsFitTheNodeAtHand_data();
    void shortcutsFitTheNodeAtHand();
    void commandsFitTheirNodeKind_data();
    void commandsFitTheirNodeKind();
};

void TestMenuRules::topLevelByNodeKind_data()
{
    QTest::addColumn<NodeKind>("kind");
    QTest::addColumn<QString>("shown"); // one letter per top-level item, in menu order
    QTest::newRow("root") << NodeKind::Root << "----------";
    QTest::newRow("entry") << NodeKind::Entry << "xxxxxx----";
    QTest::newRow("number") << NodeKind::Number << "xx----xxxx";
    QTest::newRow("other detail") << NodeKind::OtherDetail << "----------";
}

void TestMenuRules::topLevelByNodeKind()
{
    QFETCH(NodeKind, kind);
    QFETCH(QString, shown);
    const auto store = fixture();
    const MenuState state = prepareMenu(kind, *store, 1, kHolds, groups(3));
    QString actual;
    for (MenuItem item : kTopLevel)
        actual += state[item].visible ? u'x' : u'-';
    QCOMPARE(actual, shown);
}

void TestMenuRules::pasteNeedsANumberInTheClipboard()
{
    const auto store = fixture();
    for (NodeKind kind : {NodeKind::Entry, NodeKind::Number, NodeKind::OtherDetail}) {
        QVERIFY(!prepareMenu(kind, *store, 1, kEmpty, {})[MenuItem::PM_Einfuegen].enabled);
        QVERIFY(prepareMenu(kind, *store, 1, kHolds, {})[MenuItem::PM_Einfuegen].enabled);
    }
    QVERIFY(
        !prepareMenu(NodeKind::Entry, *store, 1, kEmpty, {})[MenuItem::PM_Einfuegenals].enabled);
    QVERIFY(prepareMenu(NodeKind::Entry, *store, 1, kHolds, {})[MenuItem::PM_Einfuegenals].enabled);
}

void TestMenuRules::entryNumbersCheckAndEnable()
{
    const auto store = fixture();
    const MenuState state = prepareMenu(NodeKind::Entry, *store, 1, kHolds, {});
    const bool hasNumber[] = {true, false, true};
    for (int k = 1; k <= 3; ++k) {
        QCOMPARE(state[menuItem(MenuItem::PM_Einfuegenals_Nummer1, k)].checked, hasNumber[k - 1]);
        QCOMPARE(state[menuItem(MenuItem::PM_HF_Nummer1, k)].enabled, !hasNumber[k - 1]);
    }
}

void TestMenuRules::groupCaptions_data()
{
    QTest::addColumn<int>("groupCount");
    QTest::addColumn<int>("offered");
    QTest::newRow("none") << 0 << 0;
    QTest::newRow("three") << 3 << 3;
    QTest::newRow("twelve: nine are offered") << 12 << 9;
}

void TestMenuRules::groupCaptions()
{
    QFETCH(int, groupCount);
    QFETCH(int, offered);
    const auto store = fixture();
    const MenuState state = prepareMenu(NodeKind::Entry, *store, 1, kEmpty, groups(groupCount));
    for (int k = 1; k <= 9; ++k) {
        const MenuItemState& item = state[menuItem(MenuItem::PM_Gruppe1, k)];
        QCOMPARE(item.visible, k <= offered);
        if (item.visible)
            QCOMPARE(item.caption, std::optional<QByteArray>("Gruppe " + QByteArray::number(k)));
    }
    QVERIFY(state[MenuItem::PM_KeineGruppe].visible);
    QVERIFY(!state[MenuItem::PM_KeineGruppe].caption); // keeps the caption it has
}

void TestMenuRules::firstNineCaptionsNameThePositions()
{
    const auto store = fixture();
    const MenuState state = prepareMenu(NodeKind::Entry, *store, 1, kEmpty, {});
    const QByteArray expected[] = {"Erste", "", "", "", "", "", "", "", "Neunte"};
    for (int k = 1; k <= 9; ++k)
        QCOMPARE(state[menuItem(MenuItem::PM_FNV_Position1, k)].caption,
                 std::optional<QByteArray>(expected[k - 1]));
}

void TestMenuRules::shortcutsFitTheNodeAtHand_data()
{
    QTest::addColumn<MenuItem>("item");
    QTest::addColumn<NodeKind>("kind");
    QTest::addColumn<bool>("clipboardHolds");
    QTest::addColumn<bool>("fits");
    QTest::newRow("F2 on an entry") << MenuItem::PM_Editieren << NodeKind::Entry << false << true;
    QTest::newRow("F2 on a Gruppe node")
        << MenuItem::PM_Editieren << NodeKind::OtherDetail << false << false;
    QTest::newRow("Del on the root") << MenuItem::PM_Loeschen << NodeKind::Root << false << false;
    QTest::newRow("Del on a number") << MenuItem::PM_Loeschen << NodeKind::Number << false << true;
    QTest::newRow("Ctrl+5 on a number") << MenuItem::PM_Fax << NodeKind::Number << false << true;
    QTest::newRow("Ctrl+5 on an entry") << MenuItem::PM_Fax << NodeKind::Entry << false << false;
    QTest::newRow("Ctrl+F1 on an entry")
        << MenuItem::PM_VerschiebenaufMEM << NodeKind::Entry << false << true;
    QTest::newRow("Ctrl+F2 on a number")
        << MenuItem::PM_VerschiebenaufSIM << NodeKind::Number << false << false;
    QTest::newRow("Ctrl+Ins on a number")
        << MenuItem::PM_Kopieren << NodeKind::Number << false << true;
    QTest::newRow("Shift+Ins on a number, empty clipboard")
        << MenuItem::PM_Einfuegen << NodeKind::Number << false << false;
    QTest::newRow("Shift+Ins on a number, clipboard holds a number")
        << MenuItem::PM_Einfuegen << NodeKind::Number << true << true;
    QTest::newRow("Shift+Ins on a Gruppe node")
        << MenuItem::PM_Einfuegen << NodeKind::OtherDetail << true << false;
    QTest::newRow("add number 2, which is free")
        << MenuItem::PM_HF_Nummer2 << NodeKind::Entry << false << true;
    QTest::newRow("add number 1, which is held")
        << MenuItem::PM_HF_Nummer1 << NodeKind::Entry << false << false;
    QTest::newRow("paste as number 2, empty clipboard")
        << MenuItem::PM_Einfuegenals_Nummer2 << NodeKind::Entry << false << false;
    QTest::newRow("no group on an entry")
        << MenuItem::PM_KeineGruppe << NodeKind::Entry << false << true;
}

void TestMenuRules::shortcutsFitTheNodeAtHand()
{
    QFETCH(MenuItem, item);
    QFETCH(NodeKind, kind);
    QFETCH(bool, clipboardHolds);
    QFETCH(bool, fits);
    const auto store = fixture();
    const MenuState state = prepareMenu(kind, *store, kind == NodeKind::Root ? 0 : 1,
                                        clipboardHolds ? kHolds : kEmpty, {});
    QCOMPARE(commandFits(item, state), fits);
}

void TestMenuRules::commandsFitTheirNodeKind_data()
{
    QTest::addColumn<MenuItem>("item");
    QTest::addColumn<NodeKind>("kind");
    QTest::addColumn<int>("groupCount");
    QTest::addColumn<bool>("fits");
    for (int t = 0; t < 7; ++t) {
        const MenuItem type = menuItem(MenuItem::PM_Telefon, t + 1);
        QTest::addRow("number type %d on a number", t + 1) << type << NodeKind::Number << 0 << true;
        QTest::addRow("number type %d on an entry", t + 1) << type << NodeKind::Entry << 0 << false;
        QTest::addRow("number type %d on a Gruppe node", t + 1)
            << type << NodeKind::OtherDetail << 0 << false;
    }
    QTest::newRow("First Nine position 3 on an entry")
        << MenuItem::PM_FNV_Position3 << NodeKind::Entry << 0 << true;
    QTest::newRow("First Nine position 3 on a number")
        << MenuItem::PM_FNV_Position3 << NodeKind::Number << 0 << false;
    QTest::newRow("First Nine position 9 on the root")
        << MenuItem::PM_FNV_Position9 << NodeKind::Root << 0 << false;
    QTest::newRow("group 2 of two") << MenuItem::PM_Gruppe2 << NodeKind::Entry << 2 << true;
    QTest::newRow("group 3 of two") << MenuItem::PM_Gruppe3 << NodeKind::Entry << 2 << false;
    QTest::newRow("group 1 on a number") << MenuItem::PM_Gruppe1 << NodeKind::Number << 2 << false;
}

void TestMenuRules::commandsFitTheirNodeKind()
{
    QFETCH(MenuItem, item);
    QFETCH(NodeKind, kind);
    QFETCH(int, groupCount);
    QFETCH(bool, fits);
    const auto store = fixture();
    const MenuState state =
        prepareMenu(kind, *store, kind == NodeKind::Root ? 0 : 1, kEmpty, groups(groupCount));
    QCOMPARE(commandFits(item, state), fits);
}

QTEST_GUILESS_MAIN(TestMenuRules)
#include "tst_menurules.moc"
