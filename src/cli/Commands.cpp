// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/RegistryKey.h"
#include "cli/CliHost.h"
#include "cli/ExitStatus.h"
#include "editing/ContactMerge.h"
#include "editing/VcardReport.h"
#include "fileio/ContactsCsv.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "fileio/Snapshots.h"
#include "fileio/VcardWriter.h"
#include "link/ComPort.h"
#include "link/CommandExchange.h"
#include "link/HandsetSearch.h"
#include "link/PortDiagnosis.h"
#include "link/PortDoctor.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NameOrder.h"
#include "phonebook/NoteLines.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhoneNumbers.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/WritePlan.h"
#include "print/PhoneList.h"
#include "print/PhoneListPdf.h"
#include "sync/CardRestore.h"
#include "sync/OpenAddressBook.h"
#include "sync/SyncEngine.h"

#include <QFileInfo>
#include <QTextStream>
#include <QTimeZone>

#include <utility>

namespace q7 {

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    stream.setEncoding(QStringConverter::System);
    return stream;
}

// Failures and warnings go to stderr, results to stdout.
QTextStream& err()
{
    static QTextStream stream(stderr);
    stream.setEncoding(QStringConverter::System);
    return stream;
}

void printResult(CommandContext& context, const QString& line)
{
    context.host.finishLine();
    out() << line << '\n';
    out().flush();
}

// A CSV file that names a location twice loads only its last line there;
// the run goes on, as the window's load does, and says so.
void warnOfRepeatedLocations(const QList<int>& locations, const LanguageFile& texts)
{
    if (locations.isEmpty())
        return;
    err() << repeatedLocationsWarning(locations, texts) << '\n';
    err().flush();
}

QString noArguments(const CommandContext& context)
{
    return context.arguments.isEmpty() ? QString()
                                       : context.texts.text(TextId::Fehler_AufrufZuViele);
}

// Every command but detect needs the handset first.
void requireHandset(CommandContext& context)
{
    if (!searchHandset(context.exchange, context.texts, context.host))
        throw Q7Error(context.texts.text(TextId::Statusleiste_Handynichtgefunden));
}

int detect(CommandContext& context)
{
    const bool found = searchHandset(context.exchange, context.texts, context.host);
    context.host.finishLine();
    QTextStream& stream = found ? out() : err();
    stream << context.texts.text(found ? TextId::Statusleiste_Handygefunden
                                       : TextId::Statusleiste_Handynichtgefunden)
           << '\n';
    stream.flush();
    return found ? 0 : 1;
}

// Every serial port with what stands in its way, then the search on each
// port the user may open; one line per finding on stdout.
int doctor(CommandContext& context)
{
    const SystemView system = SystemView::current();
    const QList<DoctorPort> ports = doctorPorts(context.exchange.port().deviceOverride());
    QList<PortFinding> findings;
    const bool found =
        runPortDoctor(context.exchange, ports, system, context.texts, context.host, findings);
    context.host.finishLine();
    for (const PortFinding& finding : std::as_const(findings))
        out() << finding.text << '\n';
    out().flush();
    return found ? 0 : 1;
}

QString oneFile(const CommandContext& context)
{
    return context.arguments.size() == 1 ? QString()
                                         : context.texts.text(TextId::Fehler_AufrufEineDatei);
}

RecordStore readWholePhonebook(CommandContext& context)
{
    requireHandset(context);
    return readPhonebook(context.exchange, context.texts, context.host, RecordStore());
}

// "12  Jörg Muster  [Familie]  Mobil 0123456789, Heim 0301234"
QString describeRecord(const RecordStore& store, int record)
{
    QString line = QStringLiteral("%1  %2").arg(record, 3).arg(decodePc(store.field(record, Name)));
    if (!store.fieldIsEmpty(record, Gruppe))
        line += QStringLiteral("  [%1]").arg(decodePc(store.field(record, Gruppe)));
    if (const QString numbers = numbersLine(store, record); !numbers.isEmpty())
        line += QStringLiteral("  ") + numbers;
    return line;
}

int list(CommandContext& context)
{
    const RecordStore store = readWholePhonebook(context);
    context.host.finishLine();
    for (int record = 1; record <= kRecordCount; ++record)
        if (store.isLive(record))
            out() << describeRecord(store, record) << '\n';
    out().flush();
    return 0;
}

bool isCsvFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

// The extension decides the format: .vcf is vCard, .pdf the phone list as
// the window prints the whole phonebook, anything else CSV.
void savePhonebook(const QString& path, RecordStore& store, const LanguageFile& texts)
{
    if (isPdfPath(path)) {
        const PhoneListChoice whole{phonebookTreeOrder(store), false};
        writePhoneListPdf(
            path, makePhoneList(store, whole, texts, numberTypeNames(texts), QDate::currentDate()),
            texts);
    } else if (isVcardPath(path))
        writeVcardFile(path, store, numberTypeNames(texts));
    else
        writeCsvFile(path, store, false);
}

int backup(CommandContext& context)
{
    const QString& path = context.arguments.front();
    checkWritable(path);
    RecordStore store = readWholePhonebook(context);
    savePhonebook(path, store, context.texts);
    printResult(context, savedConfirmation(liveEntryCount(store), path, context.texts));
    return 0;
}

QString csvAndVcard(const CommandContext& context)
{
    if (context.arguments.size() != 2)
        return context.texts.text(TextId::Fehler_AufrufZweiDateien);
    const QString& in = context.arguments[0];
    const QString& out = context.arguments[1];
    const bool readable = isVcardPath(in) || isCsvFile(in);
    if (!(isVcardPath(in) && isCsvFile(out)) && !(isCsvFile(in) && isVcardPath(out)) &&
        !(isCsvFile(in) && isCsvFile(out)) && !(readable && isPdfPath(out)))
        return context.texts.text(TextId::Fehler_AufrufConvert);
    return {};
}

void printReport(const VcardImportReport& report, const LanguageFile& texts)
{
    for (const QString& line : vcardReportLines(report, texts))
        err() << line << '\n';
    err().flush();
}

// Without a handset: cards and contacts land as an import into an empty
// phonebook would place them, and what did not come over whole is told on
// stderr.
int convert(CommandContext& context)
{
    const QString& in = context.arguments[0];
    const QString& out = context.arguments[1];
    const QByteArray content = readWholeFile(in);
    const PhonebookFileFormat format = phonebookFileFormat(in, content);
    if (format == PhonebookFileFormat::PhonebookCsv) {
        if (isCsvFile(out))
            throw Q7Error(TextId::Fehler_SchonTelefonbuch, {in});
        QList<int> repeated;
        RecordStore store = importCsv(content, RecordStore(), &repeated);
        warnOfRepeatedLocations(repeated, context.texts);
        savePhonebook(out, store, context.texts);
        return 0;
    }
    RecordStore store;
    // Each contact a new entry: two cards of one person in the file stay two.
    ContactImport result =
        importContacts(readContacts(content, format), store,
                       context.simRange ? ImportRange::SimCard : ImportRange::HandsetMemory,
                       MergeMode::AllNew, numberTypeNames(context.texts), userCountryCode());
    result.report.fromContactsFile = format == PhonebookFileFormat::ContactsCsv;
    printReport(result.report, context.texts);
    savePhonebook(out, store, context.texts);
    return result.report.notImported > 0 ? 1 : 0;
}

// --- merge and duplicates: contacts from other address books without copies

QString mergeFiles(const CommandContext& context)
{
    if (context.arguments.size() != 3)
        return context.texts.text(TextId::Fehler_AufrufDreiDateien);
    if (!isCsvFile(context.arguments[0]) || !isCsvFile(context.arguments[2]))
        return context.texts.text(TextId::Fehler_AufrufMergeCsv);
    return {};
}

// The base's entries stay where they are; each contact completes the entry
// it matches or becomes a new one, as the window's merge does.
int merge(CommandContext& context)
{
    const QString& basePath = context.arguments[0];
    const QString& in = context.arguments[1];
    const QString& outPath = context.arguments[2];
    QList<int> repeated;
    RecordStore store = readCsvFile(basePath, RecordStore(), &repeated);
    warnOfRepeatedLocations(repeated, context.texts);
    const QByteArray content = readWholeFile(in);
    const PhonebookFileFormat format = phonebookFileFormat(in, content);
    if (format == PhonebookFileFormat::PhonebookCsv)
        throw Q7Error(context.texts.text(TextId::Kontakte_KeineKontakte));
    checkWritable(outPath);
    ContactImport result =
        importContacts(readContacts(content, format), store,
                       context.simRange ? ImportRange::SimCard : ImportRange::HandsetMemory,
                       MergeMode::Merge, numberTypeNames(context.texts), userCountryCode());
    result.report.fromContactsFile = format == PhonebookFileFormat::ContactsCsv;
    printReport(result.report, context.texts);
    writeCsvFile(outPath, store, false);
    return result.report.notImported > 0 ? 1 : 0;
}

int duplicates(CommandContext& context)
{
    QList<int> repeated;
    const RecordStore store = readCsvFile(context.arguments.front(), RecordStore(), &repeated);
    warnOfRepeatedLocations(repeated, context.texts);
    const QList<QList<int>> groups = findDuplicates(store, userCountryCode());
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (i > 0)
            out() << '\n';
        for (const int record : groups[i])
            out() << describeRecord(store, record) << '\n';
    }
    out().flush();
    err() << context.texts.text(TextId::Kontakte_Doppelte).arg(groups.size()) << '\n';
    err().flush();
    return 0;
}

// --- end of merge and duplicates

// Runs a write or an erase; the failed records go to stderr, also when the
// run stopped half-way, and the exit status says whether any failed.
template <class Run>
int runTransfer(CommandContext& context, TransferResult::Operation operation, Run&& run)
{
    return runReported(operation, std::forward<Run>(run), [&](const TransferResult& result) {
        context.host.finishLine();
        if (result.succeeded()) {
            printResult(context, operation == TransferResult::Operation::Write
                                     ? writtenConfirmation(result, context.texts)
                                     : erasedConfirmation(result, context.texts));
            return 0;
        }
        const RecordStore none;
        for (const QString& line : transferReport(context.reportStore ? *context.reportStore : none,
                                                  result, context.texts))
            err() << line << '\n';
        err().flush();
        return 1;
    });
}

// The snapshots of the user's data folder, kept as many as the settings say.
Snapshots userSnapshots()
{
    auto settings = openRegistryKey(kProgramKey);
    return Snapshots(Snapshots::defaultFolder(), loadPhonebookOptions(*settings).sicherungen);
}

// Reads the whole handset into the image, the start of every command that
// changes it.
HandsetImage readHandset(CommandContext& context)
{
    HandsetImage image;
    image.takeRead(readWholePhonebook(context));
    return image;
}

void keepSnapshot(CommandContext& context, const HandsetImage& image, SnapshotReason reason)
{
    if (!context.noSnapshot)
        userSnapshots().keep(image, reason);
}

int eraseHandset(CommandContext& context, HandsetImage& image)
{
    return runTransfer(context, TransferResult::Operation::Erase, [&](TransferResult& result) {
        EraseHandset(context.exchange, context.texts, context.host, image, result);
    });
}

QString oneCsvFile(const CommandContext& context)
{
    if (const QString problem = oneFile(context); !problem.isEmpty())
        return problem;
    if (isVcardPath(context.arguments.front()))
        return fillIn(context.texts.text(TextId::Fehler_AufrufRestoreVcard),
                      {context.arguments.front()});
    return {};
}

// "latest" or a number that snapshots lists; read before anything else is
// kept, so that "latest" is the newest when the command starts.
SnapshotInfo chosenSnapshot(const QString& choice)
{
    const QList<SnapshotInfo> snapshots = userSnapshots().list();
    if (choice == u"latest" && !snapshots.isEmpty())
        return snapshots.front();
    bool ok = false;
    const int number = choice.toInt(&ok);
    if (ok && number >= 1 && number <= snapshots.size())
        return snapshots[number - 1];
    if (snapshots.isEmpty())
        throw Q7Error(TextId::Sicherungen_Keine, {});
    throw Q7Error(TextId::Fehler_KeineSicherung, {choice});
}

// "c2": the second card copy that snapshots lists.
std::optional<int> cardCopyNumber(const QString& choice)
{
    if (!choice.startsWith(u'c', Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const int number = choice.mid(1).toInt(&ok);
    return ok && number >= 1 ? std::optional<int>(number) : std::nullopt;
}

void printLines(const QStringList& lines);
sync::ServerAccess serverAccess(const CommandContext& context);

// The cards of a card copy back into the address book they came from (or
// the one --addressbook names): the plan first, then the cards.
int restoreCards(CommandContext& context, int number)
{
    const QList<CardCopyInfo> copies = userSnapshots().cardCopies();
    if (copies.isEmpty())
        throw Q7Error(TextId::Sicherungen_Keine, {});
    if (number > copies.size())
        throw Q7Error(TextId::Fehler_KeineSicherung, {context.snapshot});
    const CardCopyInfo& copy = copies[number - 1];
    const QString location = context.addressBook.isEmpty() ? copy.addressBook : context.addressBook;
    if (location.isEmpty())
        throw Q7Error(TextId::Kartenkopien_KeinAdressbuch, {context.snapshot});
    const std::unique_ptr<sync::AddressBook> book =
        sync::openAddressBook(location, serverAccess(context));
    sync::CardRestore restore(*book, Snapshots::loadCards(copy), context.texts);
    restore.plan();
    context.host.finishLine();
    printLines(restore.planLines());
    if (context.dryRun)
        return 0;
    const sync::CardRestore::Result result = restore.carryOut(context.host);
    context.host.finishLine();
    printLines(restore.summaryLines(result));
    return result.problems.isEmpty() && !result.stopped ? 0 : kExitFailed;
}

int restore(CommandContext& context)
{
    if (const std::optional<int> copy = cardCopyNumber(context.snapshot))
        return restoreCards(context, *copy);
    // The whole file is read and checked before anything reaches the handset.
    RecordStore store;
    const bool fromSnapshot = !context.snapshot.isEmpty();
    if (fromSnapshot) {
        store = Snapshots::load(chosenSnapshot(context.snapshot));
    } else {
        QList<int> repeated;
        store = readCsvFile(context.arguments.front(), RecordStore(), &repeated);
        warnOfRepeatedLocations(repeated, context.texts);
    }
    bool anyLive = false;
    for (int record = 1; record <= kRecordCount && !anyLive; ++record)
        anyLive = store.isLive(record);
    if (!anyLive)
        throw Q7Error(TextId::Fehler_KeinEintrag, {});

    // Nobody is there to answer a question: the loss is told, and the
    // restore goes on.
    const auto warnOfNoteLines = [&](const WritePlan& plan) {
        if (const QList<int> losing = recordsLosingNoteLines(store, plan); !losing.isEmpty()) {
            err() << noteLinesWarning(store, losing, context.texts) << '\n';
            err().flush();
        }
    };

    HandsetImage image = readHandset(context);
    // A snapshot puts the handset back as it was: what it did not hold goes.
    // A file adds to what the handset holds, unless --replace.
    const bool exact = fromSnapshot || context.replace;
    if (context.dryRun) {
        const WritePlan plan = planWrite(store, image, true, exact);
        context.host.finishLine();
        warnOfNoteLines(plan);
        for (const QString& line : planLines(plan, store, image, context.texts))
            out() << line << '\n';
        out() << planCounts(plan, context.texts) << '\n';
        out().flush();
        return 0;
    }

    context.reportStore = &store;
    if (context.replace) {
        keepSnapshot(context, image, SnapshotReason::BeforeErase);
        // Writing over a half-erased handset would leave entries it should not hold.
        if (const int status = eraseHandset(context, image); status != 0)
            return status;
    } else
        keepSnapshot(context, image, SnapshotReason::BeforeWrite);
    const WritePlan plan = planWrite(store, image, true, exact);
    warnOfNoteLines(plan);
    return runTransfer(context, TransferResult::Operation::Write, [&](TransferResult& result) {
        writePlanned(context.exchange, context.texts, context.host, store, image, plan,
                     !context.noVerify, result);
    });
}

QString confirmedOnly(const CommandContext& context)
{
    if (!context.arguments.isEmpty())
        return context.texts.text(TextId::Fehler_AufrufZuViele);
    return context.confirmed ? QString() : context.texts.text(TextId::Fehler_AufrufEraseYes);
}

int erase(CommandContext& context)
{
    HandsetImage image = readHandset(context);
    keepSnapshot(context, image, SnapshotReason::BeforeErase);
    return eraseHandset(context, image);
}

// "1  2026-12-11 02:15:03  27 Einträge  vor dem Schreiben  /home/…/….csv"
// for the handset's snapshots, "c1  …  3 Karten  vor dem Abgleich mit …"
// for the card copies, newest first; the first column is what restore
// --snapshot takes.
int listSnapshots(CommandContext& context)
{
    const Snapshots snapshots = userSnapshots();
    const QList<SnapshotInfo> handset = snapshots.list();
    const QList<CardCopyInfo> cards = snapshots.cardCopies();
    if (handset.isEmpty() && cards.isEmpty()) {
        printResult(context, context.texts.text(TextId::Sicherungen_Keine));
        return 0;
    }
    const auto line = [](const QString& number, const QDateTime& time, const QString& count,
                         const QString& reason, const QString& path) {
        out() << QStringLiteral("%1  %2  %3  %4  %5")
                     .arg(number, 2)
                     .arg(time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), count,
                          reason, path)
              << '\n';
    };
    qsizetype h = 0;
    qsizetype c = 0;
    while (h < handset.size() || c < cards.size()) {
        if (c >= cards.size() || (h < handset.size() && handset[h].time >= cards[c].time)) {
            const SnapshotInfo& snapshot = handset[h++];
            line(QString::number(h), snapshot.time, entryCount(snapshot.entries, context.texts),
                 snapshotReasonText(snapshot.reason, context.texts), snapshot.path);
        } else {
            const CardCopyInfo& copy = cards[c++];
            line(u'c' + QString::number(c), copy.time, cardCount(copy.cards, context.texts),
                 cardCopyReasonText(copy, context.texts), copy.path);
        }
    }
    out().flush();
    return 0;
}

QString fileOrSnapshot(const CommandContext& context)
{
    if (context.snapshot.isEmpty())
        return oneCsvFile(context);
    if (!context.arguments.isEmpty())
        return context.texts.text(TextId::Fehler_AufrufDateiOderSnapshot);
    if (context.snapshot != u"latest" && context.snapshot.toInt() < 1 &&
        !cardCopyNumber(context.snapshot))
        return context.texts.text(TextId::Fehler_AufrufSnapshot);
    return {};
}

// --- sync with an address book

QString syncArguments(const CommandContext& context)
{
    if (!context.arguments.isEmpty())
        return context.texts.text(TextId::Fehler_AufrufZuViele);
    if (context.addressBook.isEmpty())
        return context.texts.text(TextId::Fehler_AufrufAdressbuch);
    if (!context.prefer.isEmpty() && context.prefer != u"handset" &&
        context.prefer != u"addressbook")
        return context.texts.text(TextId::Fehler_AufrufPrefer);
    return {};
}

void printLines(const QStringList& lines)
{
    for (const QString& line : lines)
        out() << line << '\n';
    out().flush();
}

// Who may reach a server: the password from a file or the environment,
// never from the command line, where every user of the machine can read it.
sync::ServerAccess serverAccess(const CommandContext& context)
{
    sync::ServerAccess access;
    access.user = context.user;
    access.allowPlainHttp = context.allowHttp;
    if (!context.passwordFile.isEmpty()) {
        QByteArray content = readWholeFile(context.passwordFile);
        const qsizetype end = content.indexOf('\n');
        if (end >= 0)
            content.truncate(end);
        if (content.endsWith('\r'))
            content.chop(1);
        access.password = QString::fromUtf8(content);
    } else {
        access.password = qEnvironmentVariable("Q7_PASSWORD");
    }
    return access;
}

// Prints the plan, carries it out unless --dry-run, and prints the summary.
// The exit status tells a sync in step (0), one that left conflicts (3) and
// one that could not do everything (1).
int syncAddressBook(CommandContext& context)
{
    // The server first: a wrong password or an address book still to be
    // chosen is said before the handset is searched for.
    const std::unique_ptr<sync::AddressBook> book =
        sync::openAddressBook(context.addressBook, serverAccess(context));
    requireHandset(context);
    sync::SyncSettings settings;
    settings.category = context.category;
    if (!context.prefer.isEmpty())
        settings.prefer =
            context.prefer == u"handset" ? sync::Side::Handset : sync::Side::AddressBook;
    settings.countryCode = userCountryCode();
    settings.typeNames = numberTypeNames(context.texts);
    settings.snapshotsKept = loadPhonebookOptions(*openRegistryKey(kProgramKey)).sicherungen;
    settings.verify = !context.noVerify;
    sync::SyncRun run(*book, context.exchange, context.texts, context.host, settings);
    run.prepare();
    context.host.finishLine();
    printLines(run.planLines());
    if (context.dryRun)
        return 0;
    if (run.deletesTooMuch() && !context.allowDeletions)
        throw Q7Error(run.deletionWarning() + u'\n' +
                      context.texts.text(TextId::Abgleich_LoeschenErlauben));
    const sync::SyncResult result = run.carryOut();
    context.host.finishLine();
    printLines(run.summaryLines(result));
    bool leftOut = false;
    for (const sync::SyncItem& item : run.items())
        leftOut = leftOut || item.leftOut;
    if (!result.problems.isEmpty() || result.stopped || leftOut)
        return kExitFailed;
    return result.conflictsLeft > 0 ? kExitConflicts : 0;
}

// --- end of sync

// Every command of q7ctl, in the order the help lists them. A new command
// is a row here; its help text goes into the text table (section
// Befehlszeile) with its English line in lang/english.ini.
const Command kCommands[] = {
    {"detect", "detect", TextId::Befehlszeile_Detect, noArguments, detect, "detect"},
    {"doctor", "doctor", TextId::Befehlszeile_Doctor, noArguments, doctor, "doctor"},
    {"list", "list", TextId::Befehlszeile_List, noArguments, list, "list"},
    {"backup", "backup FILE.csv|.vcf|.pdf", TextId::Befehlszeile_Backup, oneFile, backup,
     "backup FILE.csv|FILE.vcf|FILE.pdf"},
    {"restore", "restore FILE.csv", TextId::Befehlszeile_Restore, fileOrSnapshot, restore,
     "[--replace] [--dry-run] [--no-snapshot] [--no-verify] restore FILE.csv | --snapshot "
     "latest|N | --snapshot cN [--addressbook DIR|URL] [--user NAME] [--password-file FILE]"},
    {"snapshots", "snapshots", TextId::Befehlszeile_Snapshots, noArguments, listSnapshots,
     "snapshots"},
    {"erase", "erase --yes", TextId::Befehlszeile_Erase, confirmedOnly, erase,
     "[--no-snapshot] erase --yes"},
    {"convert", "convert IN OUT", TextId::Befehlszeile_Convert, csvAndVcard, convert,
     "[--sim] convert IN.csv OUT.vcf | IN.vcf OUT.csv | IN.csv|IN.vcf OUT.pdf"},
    {"merge", "merge BASE IN OUT", TextId::Befehlszeile_Merge, mergeFiles, merge,
     "[--sim] merge BASE.csv IN.vcf|IN.csv OUT.csv"},
    {"duplicates", "duplicates FILE.csv", TextId::Befehlszeile_Duplicates, oneFile, duplicates,
     "duplicates FILE.csv"},
    {"sync", "sync --addressbook DIR|URL", TextId::Befehlszeile_Sync, syncArguments,
     syncAddressBook,
     "sync --addressbook DIR|URL [--user NAME] [--password-file FILE] [--allow-http] "
     "[--category NAME] [--dry-run] [--prefer handset|addressbook] "
     "[--allow-deletions] [--no-verify]"},
};

// The help's two columns: the synopsis, then the text wrapped to a
// terminal's 80 columns; a long synopsis gets a line of its own.
constexpr int kHelpIndent = 2;
constexpr int kHelpColumn = 23;
constexpr int kHelpWidth = 79;

QString helpEntry(const QString& synopsis, const QString& text)
{
    QString entry = QString(kHelpIndent, u' ') + synopsis;
    if (entry.size() >= kHelpColumn - 1) {
        entry += u'\n';
        entry += QString(kHelpColumn, u' ');
    } else
        entry = entry.leftJustified(kHelpColumn);
    int column = kHelpColumn;
    bool first = true;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!first && column + 1 + word.size() > kHelpWidth) {
            entry += u'\n' + QString(kHelpColumn, u' ');
            column = kHelpColumn;
            first = true;
        }
        if (!first) {
            entry += u' ';
            ++column;
        }
        entry += word;
        column += int(word.size());
        first = false;
    }
    return entry;
}

} // namespace

QString commandsHelp(const LanguageFile& texts)
{
    QStringList lines{texts.text(TextId::Befehlszeile_Befehle)};
    for (const Command& command : kCommands)
        lines << helpEntry(QLatin1String(command.synopsis), texts.text(command.help));
    return lines.join(u'\n');
}

std::optional<Command> findCommand(const QString& name)
{
    for (const Command& command : kCommands)
        if (name == QLatin1String(command.name))
            return command;
    return std::nullopt;
}

} // namespace q7
