// SPDX-License-Identifier: GPL-3.0-or-later
// The trees under a full phonebook: both trees rebuilt on 600 live records,
// each with every detail node, and renames through the in-place editor as
// the user makes them (the editor's commit, the store, the re-sort of the
// phonebook tree and the refresh of the First Nine tree). Each is timed
// twice: the program's own work, and that work with the trees laid out and
// painted again as the window shows them.
//
// Then the search field and the undo history under the same phonebook: each
// keystroke typed into the search field as the keyboard sends it, until the
// tree hides or shows its entries, and Ctrl+Z on the tree after a rename, a
// First Nine move over a held position and a deletion, until both trees
// show the records as they were.
//
//   bench_edit [--rebuilds 50] [--renames 100] [--searches 3] [--undos 50] [--seed 1]

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "base/PcText.h"
#include "base/RegistryKey.h"
#include "editing/EntryFilter.h"
#include "editing/ui/TreeEditor.h"
#include "link/ComPort.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

using namespace q7;

namespace {

const char* const kSurnames[] = {
    "Müller",   "Schmidt",  "Schneider", "Fischer",    "Weber",  "Meyer",   "Wagner",  "Becker",
    "Schulz",   "Hoffmann", "Schäfer",   "Koch",       "Bauer",  "Richter", "Klein",   "Wolf",
    "Schröder", "Neumann",  "Schwarz",   "Zimmermann", "Braun",  "Krüger",  "Hofmann", "Hartmann",
    "Lange",    "Schmitt",  "Werner",    "Schmitz",    "Krause", "Jäger"};
const char* const kFirstNames[] = {"Anna",  "Bernd", "Carla",  "dieter", "Emil", "Frieda", "Gustav",
                                   "Hanna", "Ines",  "Jörg",   "Karl",   "Lena", "Moritz", "Nina",
                                   "Otto",  "Paula", "Quirin", "Rosa",   "Sven", "Tanja"};
const char* const kGroups[] = {"Familie", "Freunde", "Arbeit", "Verein", "Nachbarn"};
const char* const kTypes[] = {"Telefon", "Heim", "Mobil", "Fax"};

// A record as a read leaves it, every field the trees show filled.
void putFullRecord(RecordStore& store, int r, const QString& name, std::mt19937& random)
{
    const auto pick = [&](const auto& list) {
        return QByteArray(list[random() % std::size(list)]);
    };
    store.setField(r, Speicherplatz, QByteArray::number(r));
    store.setField(r, Name, encodePc(name));
    store.setField(r, Gruppe, pick(kGroups));
    for (int k = 1; k <= 3; ++k) {
        store.setField(r, nummerField(k) - 2, "TELNO");
        store.setField(r, nummernartField(k), pick(kTypes));
        store.setField(r, nummerField(k),
                       "0" + QByteArray::number(30000000 + int(random() % 9000000)));
    }
    store.setField(r, 13, "CUSTOM");
    store.setField(r, Zusatz1, "Notiz " + QByteArray::number(r));
    store.setField(r, 16, "CUSTOM");
    store.setField(r, Zusatz2, "Strasse " + QByteArray::number(r));
    store.setField(r, ChangedFlag, kChangedNo);
}

struct Timings
{
    std::vector<double> work;        // ms
    std::vector<double> withRepaint; // ms
};

// The first sample stands apart: it is the one the user meets after a read,
// before the allocator and the caches of the trees are warm.
void report(const char* what, std::vector<double> samples, double goal)
{
    if (samples.empty()) {
        std::printf("%-34s n=  0\n", what);
        return;
    }
    const double first = samples.front();
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[std::min(samples.size() - 1,
                                std::size_t(q * double(samples.size() - 1) + 0.5))];
    };
    std::printf("%-30s n=%3zu  median %7.3f ms  p25 %7.3f  p75 %7.3f  min %7.3f  max %7.3f  "
                "first %7.3f%s\n",
                what, samples.size(), at(0.5), at(0.25), at(0.75), samples.front(), samples.back(),
                first, goal > 0 ? (at(0.5) < goal ? "  (goal met)" : "  (GOAL MISSED)") : "");
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// What a user types into the search field: the start of a name, one written
// without its umlaut or accent, and numbers with and without a space.
const char* const kSearches[] = {"schm", "Mull", "jorg", "krause, n", "0301", "034 5", "99", "Zzz"};

// The entries the phonebook tree shows are exactly those the search finds.
bool showsSearch(const PhonebookTrees& trees, const RecordStore& store, const QString& text)
{
    const EntryFilter filter(text);
    for (int r = 1; r <= kLastShownRecord; ++r) {
        const QTreeWidgetItem* node = trees.phonebookNode(r);
        if (!node || node->isHidden() == filter.matches(store, r))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // No display needed; under one, QT_QPA_PLATFORM=xcb measures its painting.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rebuildsOption(QStringLiteral("rebuilds"),
                                            QStringLiteral("Full rebuilds to time."),
                                            QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption renamesOption(QStringLiteral("renames"),
                                           QStringLiteral("Renames to time."), QStringLiteral("N"),
                                           QStringLiteral("100"));
    const QCommandLineOption searchesOption(QStringLiteral("searches"),
                                            QStringLiteral("Rounds of searches typed and erased."),
                                            QStringLiteral("N"), QStringLiteral("3"));
    const QCommandLineOption undosOption(QStringLiteral("undos"),
                                         QStringLiteral("Undos to time of each kind of edit."),
                                         QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Random seed."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({rebuildsOption, renamesOption, searchesOption, undosOption, seedOption});
    parser.addHelpOption();
    parser.process(app);
    const int rebuilds = parser.value(rebuildsOption).toInt();
    const int renames = parser.value(renamesOption).toInt();
    const int searches = parser.value(searchesOption).toInt();
    const int undos = parser.value(undosOption).toInt();
    std::mt19937 random(parser.value(seedOption).toUInt());

    // Settings of its own, and a start that shows no disclaimer.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    openRegistryKey(kProgramKey)->setValue(QStringLiteral("StartZaehler"), 1);

    // A handset for the search at start, so that it succeeds and asks nothing.
    q7sim::SimHandset sim;
    TFrm_Q7_Manager window(settingsDir.filePath(QStringLiteral("absent.ini")));
    window.comPort().setDeviceOverride(sim.start());
    {
        QEventLoop searched;
        QObject::connect(&window, &TFrm_Q7_Manager::searchFinished, &searched, &QEventLoop::quit);
        QTimer::singleShot(10000, &searched, &QEventLoop::quit);
        window.show();
        searched.exec();
    }
    if (window.transferRunning()) {
        std::fprintf(stderr, "the search at start did not end\n");
        return 1;
    }

    std::vector<QString> names;
    for (const char* surname : kSurnames)
        for (const char* first : kFirstNames)
            names.push_back(QString::fromUtf8(surname) + QStringLiteral(", ") +
                            QString::fromUtf8(first));
    std::shuffle(names.begin(), names.end(), random);
    // Put in place as a read puts it, so that the undo history starts from it.
    auto read = std::make_unique<RecordStore>();
    for (int r = 1; r <= kLastShownRecord; ++r)
        putFullRecord(*read, r, names[std::size_t(r - 1)], random);
    window.phonebookPage().takeStore(std::move(*read));
    RecordStore& store = window.recordStore();

    PhonebookTrees& trees = window.phonebookPage().trees();
    QTreeWidget* phonebook = trees.phonebookTree();
    QTreeWidget* firstNine = trees.firstNineTree();
    const auto repaint = [&] {
        phonebook->viewport()->repaint();
        firstNine->viewport()->repaint();
    };

    std::printf("600 live records, 7 detail nodes each\n");
    Timings rebuild;
    for (int i = 0; i < rebuilds; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.phonebookPage().rebuildTrees();
        rebuild.work.push_back(msSince(timer));
        repaint();
        rebuild.withRepaint.push_back(msSince(timer));
    }
    report("full rebuild of both trees", rebuild.work, 30);
    report("  with layout and paint", rebuild.withRepaint, 0);

    // Every tenth rename is one of the First Nine, whose tree is refreshed too.
    Timings rename;
    Timings rename509;
    for (int i = 0; i < renames; ++i) {
        const int r = i % 10 == 9 ? 501 + int(random() % 9) : 1 + int(random() % kLastShownRecord);
        const bool firstNineRecord = isFirstNineRecord(r);
        QTreeWidgetItem* node = trees.phonebookNode(r);
        phonebook->setFocus();
        phonebook->setCurrentItem(node);
        window.phonebookPage().runMenuCommand(MenuItem::PM_Editieren, phonebook);
        auto* editor = qobject_cast<QLineEdit*>(phonebook->itemWidget(node, 0));
        if (!editor) {
            std::fprintf(stderr, "no editor opened on record %d\n", r);
            return 1;
        }
        const QString newName = QString::fromUtf8(kSurnames[random() % std::size(kSurnames)]) +
                                QStringLiteral(" ") + QString::number(i);
        editor->setText(newName);

        QElapsedTimer timer;
        timer.start();
        window.phonebookPage().treeEditor().finishEditing();
        const double work = msSince(timer);
        repaint();
        const double withRepaint = msSince(timer);
        (firstNineRecord ? rename509 : rename).work.push_back(work);
        (firstNineRecord ? rename509 : rename).withRepaint.push_back(withRepaint);

        // Timed work that did not do its job would flatter the figures.
        if (decodePc(store.field(r, Name)) != newName ||
            trees.phonebookNode(r)->text(0) != newName ||
            (firstNineRecord && trees.firstNineNode(r - kLastMemoryRecord)->text(0) != newName)) {
            std::fprintf(stderr, "record %d was not renamed\n", r);
            return 1;
        }
        // The closed editors go.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    const QTreeWidgetItem* root = trees.phonebookRoot();
    for (int i = 1; i < root->childCount(); ++i) {
        if (*root->child(i) < *root->child(i - 1)) {
            std::fprintf(stderr, "the renamed entries are out of order\n");
            return 1;
        }
    }
    report("rename, memory or SIM entry", rename.work, 5);
    report("  with layout and paint", rename.withRepaint, 0);
    report("rename, First Nine entry", rename509.work, 5);
    report("  with layout and paint", rename509.withRepaint, 0);

    // Each search typed a key at a time and taken back with Backspace, so
    // that both the narrowing and the widening keystrokes are timed.
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("Edt_Suchen"));
    search->setFocus();
    Timings typed;
    Timings erased;
    for (int round = 0; round < searches; ++round) {
        for (const char* text : kSearches) {
            const int length = int(qstrlen(text));
            for (int i = 0; i < 2 * length; ++i) {
                const bool typing = i < length;
                QElapsedTimer timer;
                timer.start();
                if (typing)
                    QTest::keyClick(search, text[i]);
                else
                    QTest::keyClick(search, Qt::Key_Backspace);
                const double work = msSince(timer);
                repaint();
                const double withRepaint = msSince(timer);
                (typing ? typed : erased).work.push_back(work);
                (typing ? typed : erased).withRepaint.push_back(withRepaint);

                const QString expected =
                    QString::fromLatin1(text, typing ? i + 1 : 2 * length - i - 1);
                if (search->text() != expected || !showsSearch(trees, store, expected)) {
                    std::fprintf(stderr, "the tree does not show the search \"%s\"\n",
                                 qPrintable(expected));
                    return 1;
                }
            }
        }
    }
    report("search keystroke, typed", typed.work, 10);
    report("  with layout and paint", typed.withRepaint, 0);
    report("search keystroke, Backspace", erased.work, 10);
    report("  with layout and paint", erased.withRepaint, 0);

    // The deletion asks first.
    ScriptedDialogs dialogs;
    DialogsOverride answering(dialogs);
    enum Kind
    {
        Rename,
        Move,
        Delete,
        KindCount
    };
    Timings undone[KindCount];
    for (int i = 0; i < undos * KindCount; ++i) {
        const auto kind = Kind(i % KindCount);
        // A First Nine entry moves onto another position, any other onto one.
        int r = 1 + int(random() % kLastShownRecord);
        const int position = 1 + int(random() % kFirstNineCount);
        if (kind == Move && r == kLastMemoryRecord + position)
            r = 1 + int(random() % kLastMemoryRecord);
        const auto before = std::make_unique<RecordStore>(store);
        phonebook->setFocus();
        phonebook->setCurrentItem(trees.phonebookNode(r));
        if (kind == Rename) {
            window.phonebookPage().runMenuCommand(MenuItem::PM_Editieren, phonebook);
            auto* editor =
                qobject_cast<QLineEdit*>(phonebook->itemWidget(trees.phonebookNode(r), 0));
            if (!editor) {
                std::fprintf(stderr, "no editor opened on record %d\n", r);
                return 1;
            }
            editor->setText(QStringLiteral("Umbenannt ") + QString::number(i));
            window.phonebookPage().treeEditor().finishEditing();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        } else if (kind == Move) {
            window.phonebookPage().runMenuCommand(
                MenuItem(int(MenuItem::PM_FNV_Position1) + position - 1), phonebook);
        } else {
            dialogs.queueAnswer(QMessageBox::Yes);
            window.phonebookPage().runMenuCommand(MenuItem::PM_Loeschen, phonebook);
            dialogs.clearCalls();
        }
        if (store == *before || !window.phonebookPage().history().stack()->canUndo()) {
            std::fprintf(stderr, "edit %d of record %d did nothing\n", int(kind), r);
            return 1;
        }

        phonebook->setFocus();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(phonebook, Qt::Key_Z, Qt::ControlModifier);
        const double work = msSince(timer);
        repaint();
        const double withRepaint = msSince(timer);
        undone[kind].work.push_back(work);
        undone[kind].withRepaint.push_back(withRepaint);

        const QTreeWidgetItem* entry = trees.phonebookNode(r);
        const QTreeWidgetItem* held = trees.firstNineNode(position);
        if (store != *before || !entry || entry->text(0) != decodePc(store.field(r, Name)) ||
            !held || held->text(0) != decodePc(store.field(kLastMemoryRecord + position, Name))) {
            std::fprintf(stderr, "Ctrl+Z did not undo edit %d of record %d\n", int(kind), r);
            return 1;
        }
    }
    root = trees.phonebookRoot();
    for (int i = 1; i < root->childCount(); ++i) {
        if (*root->child(i) < *root->child(i - 1)) {
            std::fprintf(stderr, "the entries are out of order after the undos\n");
            return 1;
        }
    }
    report("undo of a rename", undone[Rename].work, 10);
    report("  with layout and paint", undone[Rename].withRepaint, 0);
    report("undo of a First Nine move", undone[Move].work, 10);
    report("  with layout and paint", undone[Move].withRepaint, 0);
    report("undo of a deletion", undone[Delete].work, 10);
    report("  with layout and paint", undone[Delete].withRepaint, 0);
    return 0;
}
