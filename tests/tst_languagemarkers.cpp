// SPDX-License-Identifier: GPL-3.0-or-later
// The language file replaces every text of its table: with a file that sets
// each key to a marker naming its section and key, every caption, menu item,
// dialog text, status text, file dialog filter and title and message box of
// the program shows that marker, and no German default is left anywhere.
// Every visible text carries a marker unless it is data (names, numbers,
// port names): a text that slips past the file shows up unmarked.

#include "SimHandset.h"
#include "app/frame/AboutBox.h"
#include "app/frame/MainWindow.h"
#include "app/frame/Warnung.h"
#include "base/PcText.h"
#include "base/RegistryKey.h"
#include "base/Texts.h"
#include "editing/ui/NeuerEintragDialog.h"
#include "editing/ui/PhonebookMenu.h"
#include "link/ComPort.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/ScriptedDialogs.h"
#include "support/SimFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace q7;

namespace {

#define Q7_LIST_TEXT(id, section, key, fallback) TextId::id,
constexpr TextId kAllTexts[] = {Q7_TEXTS(Q7_LIST_TEXT)};
#undef Q7_LIST_TEXT

// Texts of features this run does not reach: most of the findings a card or
// contacts import reports (this run opens one report, which must show no
// text but the file's), the port's failure explanations, the question about
// the additional lines, the reports after a transfer and a recovered link,
// the device behind a port name, the offer to load edits kept at the last
// end, the warning about a file that names a location twice, and the port
// doctor's findings, which depend on the system's devices and services.
// Their own tests check them; the English file test checks that they are
// translated. A text new to the table belongs either among those this test
// checks or here.
bool reachedElsewhere(TextId id)
{
    const QLatin1String section(textEntry(id).section);
    // An import's counts and findings, and the merge's question about First
    // Nine: the contacts tests check them.
    if (section == QLatin1String("vCard") || section == QLatin1String("Import") ||
        section == QLatin1String("Fehler") || section == QLatin1String("Zusatzzeilen") ||
        section == QLatin1String("Wiederherstellung") || section == QLatin1String("Diagnose"))
        return true;
    // What a plan says of the entries a loaded file or snapshot lacks, of a
    // new entry moved aside and of an emptied field, the step that takes the
    // handset's entries in, and the note lines only the window holds:
    // tst_writeplan, tst_notelines and tst_writesafety check them.
    if (section == QLatin1String("Schreibplan"))
        return true;
    // q7ctl's help: its tests check that every command and option shows
    // the file's words.
    if (section == QLatin1String("Befehlszeile"))
        return true;
    // What a CardDAV server's failures are called: the CardDAV tests against
    // Radicale and Xandikos check them.
    if (section == QLatin1String("Server"))
        return true;
    // What a write reports when the handset refuses or holds otherwise what
    // was sent: the tests of the writer, q7ctl and the window's transfers
    // check them.
    if (section == QLatin1String("Schreiben") && id != TextId::Schreiben_Anhalten &&
        id != TextId::Schreiben_Pruefen)
        return true;
    // The names of the undo steps: the edit menu's tests give each command
    // and check the name its step gets.
    if (section == QLatin1String("Rueckgaengig") && id != TextId::Rueckgaengig_Rueckgaengig &&
        id != TextId::Rueckgaengig_Wiederholen)
        return true;
    // What the editors say about a text being typed: the tests of the
    // in-place editor and of the new entry dialog check them.
    if (section == QLatin1String("Eingabe"))
        return true;
    // What a screen reader hears and the eye does not read: the
    // accessibility tests check them, in German and in English.
    if (section == QLatin1String("Vorlesen"))
        return true;
    // What the phone list's pages say: its tests read it back from the PDF,
    // in German and in English.
    if (section == QLatin1String("Drucken") && id != TextId::Drucken_Btn_Drucken &&
        id != TextId::Drucken_Caption && id != TextId::Drucken_Ganz &&
        id != TextId::Drucken_Auswahl && id != TextId::Drucken_NachGruppe)
        return true;
    // The sync with an address book beyond its button (its dialogs, plan,
    // conflicts and summary), its server part and what a stop leaves: the
    // sync's own tests check them.
    if (section == QLatin1String("Abgleich") && id != TextId::Abgleich_Btn)
        return true;
    if (section == QLatin1String("AbgleichServer") ||
        section == QLatin1String("AbgleichFortschritt"))
        return true;
    // The card copies among the snapshots beyond their button (their rows,
    // the plan of putting them back, its question and summary): the tests
    // of the card copies, of the folder sync and of the server sync check
    // them.
    if (section == QLatin1String("Kartenkopien") && id != TextId::Kartenkopien_Zuruecklegen)
        return true;
    static const QList<TextId> ids = {
        // The questions that name the entries to delete: the tests of
        // editing check them.
        TextId::Contexmenu_LoeschenFrage,
        TextId::Contexmenu_LoeschenMehrere,
        // The editing commands' questions and the clipboard panel: the tests
        // of editing check them.
        TextId::Contexmenu_MessageboxCaption,
        TextId::Contexmenu_MessageboxText,
        TextId::Statusleiste_Zwischenablage,
        TextId::TAB_Telefonbuch_FrageBeenden,
        TextId::TAB_Telefonbuch_FrageErsetzen,
        TextId::TAB_Telefonbuch_FrageUebertragung,
        // What the port list says of a device: the options page's tests.
        TextId::TAB_Optionen_Seriennummer,
        TextId::TAB_Optionen_Lbl_Geraet,
        TextId::TAB_Optionen_KeinGeraet,
        TextId::TAB_Optionen_NichtVorhanden,
        TextId::Datei_Operationen_DateiformatVcard,
        TextId::Datei_Operationen_ImportBericht,
        TextId::Datei_Operationen_Mehrfach,
        TextId::Statusleiste_Verbindungpruefen,
        TextId::Statusleiste_Verbindungwieder,
        TextId::Statusleiste_EinEintrag,
        TextId::Statusleiste_Eintraege,
        TextId::Statusleiste_Gespeichert,
        TextId::Statusleiste_Geladen,
        TextId::Statusleiste_Geschrieben,
        TextId::Statusleiste_Entfernt,
        TextId::Statusleiste_Handygeloescht,
        TextId::Statusleiste_Nichtszuschreiben,
        // A plan line of an entry left as it is: the window's plan shows only
        // what reaches the handset; q7ctl's tests check it.
        TextId::Plan_Unveraendert,
        // What the about box says when there is no language file at all.
        TextId::Info_KeineSprachdatei,
        // What the duplicates and the numbers' one form say when there is
        // nothing to do, and the numbers a merge leaves out: tst_contactimport
        // checks them.
        TextId::Kontakte_KeineDoppelten,
        TextId::Kontakte_KeineAenderungen,
        TextId::Kontakte_Ausgelassen,
        // What q7ctl says of a file without contacts and of duplicates:
        // tst_cli checks them.
        TextId::Kontakte_KeineKontakte,
        TextId::Kontakte_Doppelte,
        // A port that did not open, and the notice's words for why: the
        // handset search's window tests.
        TextId::Handysuche_NichtGeoeffnet,
        TextId::Handysuche_KeinRecht,
        TextId::Handysuche_Belegt,
        TextId::Handysuche_Fehlt,
    };
    return ids.contains(id);
}

// A text's marker keeps what the program fills in or acts on: the
// accelerator and the placeholders, so that "%1 geladen" still gets its
// number and a button still its key.
QString marker(TextId id)
{
    const TextEntry& entry = textEntry(id);
    const QString fallback = defaultText(id);
    static const QRegularExpression accelerator(QStringLiteral("&[^&]"));
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QString text = QStringLiteral("[%1/%2 %3Äü]")
                       .arg(QLatin1String(entry.section), QLatin1String(entry.key),
                            fallback.contains(accelerator) ? QStringLiteral("&") : QString());
    QStringList placeholders;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(fallback))
        if (!placeholders.contains(match.captured()))
            placeholders << match.captured();
    for (const QString& p : placeholders)
        text += u' ' + p;
    return text;
}

// The part of a marker that survives its placeholders being filled in.
QString markerHead(TextId id)
{
    return marker(id).section(u']', 0, 0) + u']';
}

bool isMarked(const QString& text)
{
    return text.contains(QStringLiteral("Äü]"));
}

// What the user typed or the handset holds, the port names and line rates,
// the program's name, and the lines of the numbers one form changes (a
// location, a name, a number and what it becomes): data, in no language.
bool isData(const QString& text)
{
    static const QRegularExpression data(
        QStringLiteral("^(COM\\d+|[\\d\\s.,:/()+-]*|Zoe|Anna|Neu|x|/.*|(Vexa )?Q7 Manager)$"));
    static const QRegularExpression rewrite(
        QStringLiteral("^ *\\d+  (Zoe|Anna|Neu|x):  [\\d+]+ → [\\d+]+$"));
    const QStringList lines = text.split(u'\n');
    return std::all_of(lines.cbegin(), lines.cend(), [](const QString& line) {
        return data.match(line).hasMatch() || rewrite.match(line).hasMatch();
    });
}

QString markerFileText()
{
    // One block per section: the first section of a name decides, as in
    // the Windows profile reader.
    QStringList sections;
    QHash<QString, QString> lines;
    for (TextId id : kAllTexts) {
        const QString section = QLatin1String(textEntry(id).section);
        const QString name = section.toLower();
        if (!lines.contains(name))
            sections << section;
        lines[name] +=
            QStringLiteral("%1=%2\r\n").arg(QLatin1String(textEntry(id).key), marker(id));
    }
    QString text;
    for (const QString& section : sections)
        text += QStringLiteral("[%1]\r\n").arg(section) + lines[section.toLower()];
    return text;
}

// A status shown with a record index after its text.
QString withoutIndex(const QString& text)
{
    static const QRegularExpression index(QStringLiteral(" \\d+$"));
    return QString(text).remove(index);
}

// The items of a menu that its last opening shows, and of their submenus.
// A hidden item keeps the form's caption, which the menu's opening replaces
// before anyone sees it.
QStringList menuTexts(const QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (!action->isVisible())
            continue;
        texts << action->text().section(u'\t', 0, 0);
        if (action->menu())
            texts << menuTexts(action->menu());
    }
    return texts;
}

// Every text a widget and its children show.
QStringList shownTexts(QWidget* root)
{
    QStringList texts{root->windowTitle()};
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // A dialog's standard buttons speak Qt's words in the program's
            // language; the test of the program language checks those.
            const auto* buttons = qobject_cast<QDialogButtonBox*>(button->parent());
            if (!buttons || buttons->standardButton(button) == QDialogButtonBox::NoButton)
                texts << button->text();
        } else if (auto* box = qobject_cast<QGroupBox*>(widget))
            texts << box->title();
        else if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        else if (auto* list = qobject_cast<QComboBox*>(widget))
            for (int i = 0; i < list->count(); ++i)
                texts << list->itemText(i);
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            texts << field->placeholderText();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget); memo && !memo->isHidden())
            texts << memo->toPlainText();
        else if (auto* tree = qobject_cast<QTreeWidget*>(widget))
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                for (int column = 0; column < tree->columnCount(); ++column)
                    texts << tree->topLevelItem(i)->text(column);
        else if (auto* lines = qobject_cast<QListWidget*>(widget))
            for (int i = 0; i < lines->count(); ++i)
                texts << lines->item(i)->text();
    }
    for (QMenu* menu : root->findChildren<QMenu*>())
        if (!qobject_cast<QMenu*>(menu->parent()))
            texts << menuTexts(menu);
    texts.removeAll(QString());
    return texts;
}

class MarkedWindow : public TFrm_Q7_Manager
{
public:
    using TFrm_Q7_Manager::TFrm_Q7_Manager;
    void showStatus(const QString& text) override
    {
        statuses << text;
        TFrm_Q7_Manager::showStatus(text);
    }
    QStringList statuses;
};

} // namespace

class TestLanguageMarkers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void everyTextShowsItsMarker();
    void programLanguageDecidesQtTextsAndOrder_data();
    void programLanguageDecidesQtTextsAndOrder();
};

// Once, in UTF-8: tst_text reads a language file in each of its encodings.
void TestLanguageMarkers::everyTextShowsItsMarker()
{
    const QByteArray file = markerFileText().toUtf8();

    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    ScriptedDialogs dialogs;
    DialogsOverride useScripted(dialogs);
    const QString languageFile = dir.filePath(QStringLiteral("q7manager.ini"));
    {
        QFile out(languageFile);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    q7sim::SimHandset sim;
    sim.setEntry(3, simEntry(3, "Zoe"));
    sim.setEntry(12, simEntry(12, "Anna"));
    sim.setEntry(20, simEntry(20, "Zoe"));
    // The snapshots go to a folder of this run's own.
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());

    QStringList seen;     // every text shown, from the file's or fixed
    QStringList messages; // titles and texts of message boxes

    // The first start shows the disclaimer in the file's words.
    dialogs.queueDialog([&](QDialog& warnung) {
        auto* accept = warnung.findChild<QPushButton*>(QStringLiteral("Btn_Akzeptiert"));
        auto* cancel = warnung.findChild<QPushButton*>(QStringLiteral("Btn_Abgeleht"));
        [&] {
            QVERIFY(accept && cancel);
            QVERIFY(
                !warnung.findChild<QPlainTextEdit*>(QStringLiteral("Mem_Warnung_eng"))->isHidden());
        }();
        seen << shownTexts(&warnung);
        accept->click();
        return int(QDialog::Accepted);
    });

    MarkedWindow window(languageFile);
    window.comPort().setDeviceOverride(sim.start());
    QSignalSpy searched(&window, &TFrm_Q7_Manager::searchFinished);
    window.show();
    QVERIFY(searched.wait(5000));
    QVERIFY(searched.first().first().toBool());
    QCOMPARE(dialogs.callsOf(ScriptedDialogs::Kind::Dialog).size(), 1);

    // A dialog's texts are collected as it opens; it is then cancelled, or
    // accepted where the run goes on through it.
    const auto collect = [&](int result) {
        dialogs.queueDialog([&, result](QDialog& dialog) {
            dialog.show();
            seen << shownTexts(&dialog);
            return result;
        });
    };
    auto* snapshotsButton = window.findChild<QPushButton*>(QStringLiteral("Btn_Sicherungen"));
    QVERIFY(snapshotsButton);
    // No snapshot yet.
    collect(QDialog::Rejected);
    snapshotsButton->click();

    // The print preview: its title and the choices beside Qt's own tools,
    // which speak Qt's words in the program's language.
    dialogs.queueDialog([&](QDialog& dialog) {
        seen << dialog.windowTitle();
        for (const QComboBox* list : dialog.findChildren<QComboBox*>(QStringLiteral("CB_Umfang")))
            for (int i = 0; i < list->count(); ++i)
                seen << list->itemText(i);
        for (const QCheckBox* box :
             dialog.findChildren<QCheckBox*>(QStringLiteral("CB_NachGruppe")))
            seen << box->text();
        return int(QDialog::Rejected);
    });
    window.findChild<QPushButton*>(QStringLiteral("Btn_Drucken"))->click();

    // The plan of a write to a handset never read offers to read first.
    RecordStore& store = window.recordStore();
    store.setField(40, Speicherplatz, "40");
    store.setField(40, Name, "Neu");
    store.setField(40, ChangedFlag, "JA");
    collect(QDialog::Rejected);
    window.Btn_DatenschreibenClick();

    // Read; then a write whose plan names every kind of line and change: a
    // record written again as it is, a deletion, a new entry and an entry
    // changed in each kind of field.
    window.Btn_DatenLesenClick();
    store.setField(12, ChangedFlag, "JA");
    store.setField(3, Name, kDeletionMarker.toByteArray());
    store.setField(3, ChangedFlag, "JA");
    store.setField(30, Speicherplatz, "30");
    store.setField(30, Name, "Neu");
    store.setField(30, ChangedFlag, "JA");
    for (const int field : {int(Name), int(Gruppe), int(Nummernart1), int(Nummer1), int(Feld14)})
        store.setField(20, field, field == Nummer1 ? "0301" : field == Name ? "Anna" : "x");
    store.setField(20, ChangedFlag, "JA");
    collect(QDialog::Accepted);
    window.Btn_DatenschreibenClick();
    QCOMPARE(sim.entry(30).value(1), QByteArray("Neu"));
    // A second write, so that a snapshot keeps the handset as the first
    // left it; then nothing is left to write.
    store.setField(30, Name, "x");
    window.Btn_DatenschreibenClick();
    QCOMPARE(sim.entry(30).value(1), QByteArray("x"));
    for (const int record : {12, 20, 30})
        store.setField(record, ChangedFlag, kChangedNo.toByteArray());
    window.Btn_DatenschreibenClick();
    // An entry that differs from the handset's, not by an edit, is named
    // before a read would replace it.
    store.setField(12, Name, "Zoe");
    dialogs.queueAnswer(QMessageBox::No);
    window.Btn_DatenLesenClick();
    store.setField(12, Name, "Anna");
    // The entries share their number: the duplicates are listed, and the
    // numbers' one form changes each of them.
    for (const char* name : {"Btn_Doppelte", "Btn_Vereinheitlichen"}) {
        collect(QDialog::Rejected);
        window.findChild<QPushButton*>(QLatin1String(name))->click();
    }
    QStringList opened;
    for (const ScriptedDialogs::Call& call : dialogs.callsOf(ScriptedDialogs::Kind::Dialog))
        opened << call.dialogClass;
    QCOMPARE(opened.mid(opened.size() - 2),
             (QStringList{"q7::DuplicatesDialog", "q7::NumberFormDialog"}));
    // The handset stops answering during a read.
    sim.setSilent(true);
    dialogs.queueAnswer(QMessageBox::Cancel);
    window.Btn_DatenLesenClick();
    sim.setSilent(false);

    // Both file dialogs, cancelled.
    window.Btn_DatenladenClick();
    window.Btn_DatenspeichernClick();

    // Cards of contacts the phonebook holds, one with a number more, and one
    // with more numbers than an entry takes, a number no handset dials and
    // parts an entry has no room for: the question where they go, the one
    // whether to merge, and the report.
    {
        const QString cards = dir.filePath(QStringLiteral("k.vcf"));
        QFile out(cards);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nTEL:0301234567\r\n"
                  "TEL;TYPE=WORK:0309\r\nEMAIL:a@b\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoe\r\nTEL;TYPE=CELL:0171 1\r\n"
                  "TEL;TYPE=HOME:0302\r\nTEL;TYPE=WORK:0303\r\nTEL;TYPE=FAX:0304\r\n"
                  "TEL:0305\r\nTEL:ABC\r\nEMAIL:z@b\r\nADR:;;x;;;;\r\nORG:x\r\n"
                  "BDAY:1970-01-01\r\nURL:x\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nTEL:0301\r\nEND:VCARD\r\n"
                  "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Neu\r\nTEL:0306\r\nEMAIL:n@b\r\n"
                  "END:VCARD\r\n");
        out.close();
        dialogs.queueFileName(cards);
        dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
        dialogs.queueAnswer(QMessageBox::Yes); // merge
        // The report, and the file dialog of its "save", cancelled.
        dialogs.queueDialog([&](QDialog& report) {
            seen << shownTexts(&report);
            for (QPushButton* button : report.findChildren<QPushButton*>())
                if (button->text().contains(markerHead(TextId::Kontakte_BerichtSpeichern)))
                    button->click();
            return int(QDialog::Accepted);
        });
        window.Btn_DatenladenClick();
        QCOMPARE(dialogs.callsOf(ScriptedDialogs::Kind::Dialog).last().dialogClass,
                 QStringLiteral("QDialog"));
    }

    // The new entry dialog, with both ranges full.
    for (int r = 1; r <= kLastShownRecord; ++r)
        if (!isFirstNineRecord(r))
            store.setField(r, Name, "x");
    dialogs.queueDialog([&](QDialog& dialog) {
        dialog.show();
        seen << shownTexts(&dialog);
        QTest::keyClicks(dialog.findChild<QWidget*>(QStringLiteral("Edt_Name")), "Neu");
        auto* erstellen = dialog.findChild<QPushButton*>(QStringLiteral("Btn_Erstellen"));
        erstellen->click(); // SIM full
        dialog.findChild<QRadioButton*>(QStringLiteral("RB_Mem"))->click();
        erstellen->click(); // memory full
        dialog.reject();
        return dialog.result();
    });
    window.Btn_NeuerEintragClick();

    // A search that finds nothing.
    sim.setSilent(true);
    window.Btn_ComTestClick();

    // The options page, where the device behind the port is named.
    window.findChild<QTabWidget*>(QStringLiteral("PageControl"))->setCurrentIndex(1);

    // The disclaimer and the about box as the language file makes them.
    {
        TFrm_Warnung warnung(&window);
        warnung.applyTexts(window.languageFile());
        seen << shownTexts(&warnung);
        AboutBox about(window.languageFile(), &window);
        seen << shownTexts(&about);
    }

    // The trees' menu as it opens on an entry and on a number, with its
    // captions of names.
    QTreeWidget* tree = window.phonebookPage().trees().phonebookTree();
    QTreeWidgetItem* entry = window.phonebookPage().trees().phonebookNode(12);
    QVERIFY(entry);
    QTreeWidgetItem* number = nullptr;
    for (int i = 0; i < entry->childCount() && !number; ++i)
        if (const int image = PhonebookTrees::mainImage(entry->child(i));
            image == kUnknownNumberTypeImage ||
            (image >= kFirstNumberTypeImage && image < kFirstNumberTypeImage + 7))
            number = entry->child(i);
    QVERIFY(number);
    for (QTreeWidgetItem* node : {entry, number}) {
        tree->setCurrentItem(node);
        window.phonebookPage().PU_Menu_TelefonbuchPopup(tree, tree->mapToGlobal(QPoint(10, 10)));
        seen << shownTexts(&window);
        window.phonebookPage().phonebookMenu().menu()->hide();
    }
    // The erase asks, and names its steps and its end, in the file's words.
    sim.setSilent(false);
    dialogs.queueAnswer(QMessageBox::Yes);
    window.Btn_LoeschenClick();
    QVERIFY(sim.entry(12).isEmpty());
    // The snapshots of the read, the write and the erase.
    collect(QDialog::Rejected);
    snapshotsButton->click();

    for (const QString& status : window.statuses)
        seen << withoutIndex(status);
    for (const ScriptedDialogs::Call& call : dialogs.calls()) {
        if (call.kind == ScriptedDialogs::Kind::Dialog)
            continue;
        seen << call.title << call.text;
        messages << call.title << call.text;
        for (const auto& [button, caption] : call.captions)
            seen << caption;
    }

    // Every text of the table shows its marker somewhere.
    QStringList missing;
    for (TextId id : kAllTexts) {
        const QString wanted = markerHead(id);
        const bool shown = std::any_of(seen.cbegin(), seen.cend(),
                                       [&](const QString& text) { return text.contains(wanted); });
        if (reachedElsewhere(id) || shown)
            continue;
        missing << wanted;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", ") + QStringLiteral(" not shown")));

    // Every text shown is the file's: marked, or data.
    QStringList unmarked;
    for (const QString& text : std::as_const(seen))
        if (!isMarked(text) && !isData(text) && !unmarked.contains(text))
            unmarked << text;
    QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(u" | ") + QStringLiteral(" not marked")));
    // The dialog's number labels are the text of "Nummer" and the row.
    for (const char* row : {" 1", " 2", " 3"})
        QVERIFY(seen.contains(marker(TextId::Contexmenu_Nummer) + QLatin1String(row)));
    // The number type names are the file's, in the PC character set.
    QCOMPARE(window.numberTypeNames()[2], encodePc(marker(TextId::Nummernart_Buero)));

    // No German default is left in a control or a message.
    for (TextId id : kAllTexts)
        QVERIFY2(!seen.contains(defaultText(id)), qPrintable(defaultText(id)));

    window.close();
}

void TestLanguageMarkers::programLanguageDecidesQtTextsAndOrder_data()
{
    QTest::addColumn<QByteArray>("file"); // empty: none
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::newRow("German without a file") << QByteArray() << "Ja"
                                           << "Nein";
    QTest::newRow("the language a file names") << QByteArray("[Sprache]\r\nCode=en\r\n") << "Yes"
                                               << "No";
    QTest::newRow("a file without a language")
        << QByteArray("[Neuereintrag]\r\nRB_SIM=SIM\r\n") << "Ja"
        << "Nein";
}

void TestLanguageMarkers::programLanguageDecidesQtTextsAndOrder()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, yes);
    QFETCH(QString, no);

    // The system speaks C: it would sort Ä after Z and keep Qt in English.
    QLocale::setDefault(QLocale::c());
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    ScriptedDialogs dialogs;
    DialogsOverride useScripted(dialogs);
    const QString languageFile = dir.filePath(QStringLiteral("q7manager.ini"));
    if (!file.isEmpty()) {
        QFile out(languageFile);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }

    TFrm_Q7_Manager window(languageFile);
    window.comPort().setDeviceOverride(dir.filePath(QStringLiteral("no-such-tty")));
    RecordStore& store = window.recordStore();
    const char* names[] = {"Zoe", "Bernd", "\xC4rzte", "Anna", "\xD6lhandel"};
    for (int r = 1; r <= 5; ++r) {
        store.setField(r, Speicherplatz, QByteArray::number(r));
        store.setField(r, Name, names[r - 1]);
    }
    window.phonebookPage().rebuildTrees();
    QStringList order;
    QTreeWidgetItem* root = window.phonebookPage().trees().phonebookRoot();
    for (int i = 0; i < root->childCount(); ++i)
        order << root->child(i)->text(0);
    QCOMPARE(order, (QStringList{"Anna", "Ärzte", "Bernd", "Ölhandel", "Zoe"}));

    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), yes);
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), no);
}

QTEST_MAIN(TestLanguageMarkers)
#include "tst_languagemarkers.moc"
