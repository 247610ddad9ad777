#include "cli/Commands.h"

#include "base/AppSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "base/RegistryKey.h"
#include "cli/CliHost.h"
#include "editing/ContactMerge.h"
#include "fileio/ContactsCsv.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "fileio/Vcard.h"
#include "link/HandsetSearch.h"
#include "phonebook/Confirmations.h"
#include "phonebook/NoteLines.h"
#include "phonebook/NumberTypes.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"

#include <QFileInfo>
#include <QTextStream>

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
    return context.arguments.isEmpty() ? QString() : QStringLiteral("too many arguments");
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

QString oneFile(const CommandContext& context)
{
    return context.arguments.size() == 1 ? QString() : QStringLiteral("give one file name");
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
    QStringList numbers;
    for (int slot = 1; slot <= 3; ++slot) {
        if (store.fieldIsEmpty(record, nummerField(slot)))
            continue;
        const QString type = decodePc(store.field(record, nummernartField(slot)));
        const QString number = decodePc(store.field(record, nummerField(slot)));
        numbers << (type.isEmpty() ? number : type + u' ' + number);
    }
    if (!numbers.isEmpty())
        line += QStringLiteral("  ") + numbers.join(QStringLiteral(", "));
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

// The extension decides the format: .vcf is vCard, anything else CSV.
void savePhonebook(const QString& path, RecordStore& store, const LanguageFile& texts)
{
    if (isVcardPath(path))
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
        return QStringLiteral("give an input and an output file");
    const QString& in = context.arguments[0];
    const QString& out = context.arguments[1];
    if (!(isVcardPath(in) && isCsvFile(out)) && !(isCsvFile(in) && isVcardPath(out)) &&
        !(isCsvFile(in) && isCsvFile(out)))
        return QStringLiteral("convert turns a .csv file into a .vcf file, a .vcf file into a "
                              ".csv file, or another program's contacts .csv into a phonebook "
                              ".csv file");
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
        if (!isVcardPath(out))
            throw Q7Error(QStringLiteral("%1 is a phonebook file already; convert turns it into "
                                         "a .vcf file")
                              .arg(in));
        QList<int> repeated;
        RecordStore store = importCsv(content, RecordStore(), &repeated);
        warnOfRepeatedLocations(repeated, context.texts);
        savePhonebook(out, store, context.texts);
        return 0;
    }
    RecordStore store;
    const VcardImportReport report =
        importContacts(readContacts(content, format), store,
                       context.simRange ? ImportRange::SimCard : ImportRange::HandsetMemory,
                       numberTypeNames(context.texts));
    printReport(report, context.texts);
    savePhonebook(out, store, context.texts);
    return report.notImported > 0 ? 1 : 0;
}

// --- merge and duplicates: contacts from other address books without copies

int countryCode()
{
    auto settings = openRegistryKey(kProgramKey);
    return loadCountryCode(*settings);
}

QString mergeFiles(const CommandContext& context)
{
    if (context.arguments.size() != 3)
        return QStringLiteral("give the phonebook file, the contacts and the output file");
    if (!isCsvFile(context.arguments[0]) || !isCsvFile(context.arguments[2]))
        return QStringLiteral("the phonebook file and the output file are .csv files");
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
    const ContactImport result =
        importContacts(readContacts(content, format), store,
                       context.simRange ? ImportRange::SimCard : ImportRange::HandsetMemory,
                       MergeMode::Merge, numberTypeNames(context.texts), countryCode());
    printReport(result.report, context.texts);
    writeCsvFile(outPath, store, false);
    return result.report.notImported > 0 ? 1 : 0;
}

int duplicates(CommandContext& context)
{
    QList<int> repeated;
    const RecordStore store = readCsvFile(context.arguments.front(), RecordStore(), &repeated);
    warnOfRepeatedLocations(repeated, context.texts);
    const QList<QList<int>> groups = findDuplicates(store, countryCode());
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
        err() << failureSummary(result) << '\n';
        err().flush();
        return 1;
    });
}

int eraseHandset(CommandContext& context)
{
    return runTransfer(context, TransferResult::Operation::Erase, [&](TransferResult& result) {
        EraseHandset(context.exchange, context.texts, context.host, result);
    });
}

QString oneCsvFile(const CommandContext& context)
{
    if (const QString problem = oneFile(context); !problem.isEmpty())
        return problem;
    if (isVcardPath(context.arguments.front()))
        return QStringLiteral("restore takes a CSV phonebook file; turn the vCard into one "
                              "first: q7ctl convert %1 FILE.csv")
            .arg(context.arguments.front());
    return {};
}

int restore(CommandContext& context)
{
    // The whole file is read and checked before anything reaches the handset.
    QList<int> repeated;
    RecordStore store = readCsvFile(context.arguments.front(), RecordStore(), &repeated);
    warnOfRepeatedLocations(repeated, context.texts);
    bool anyLive = false;
    for (int record = 1; record <= kRecordCount && !anyLive; ++record)
        anyLive = store.isLive(record);
    if (!anyLive)
        throw Q7Error(QStringLiteral("Die Datei enthält keinen Eintrag; nichts wurde übertragen."));

    // Nobody is there to answer a question: the loss is told, and the
    // restore goes on.
    if (const QList<int> losing = recordsLosingNoteLines(store, false); !losing.isEmpty()) {
        err() << noteLinesWarning(store, losing, context.texts) << '\n';
        err().flush();
    }

    requireHandset(context);
    if (context.replace) {
        // Writing over a half-erased handset would leave entries it should not hold.
        if (const int status = eraseHandset(context); status != 0)
            return status;
    }
    return runTransfer(context, TransferResult::Operation::Write, [&](TransferResult& result) {
        writePhonebook(context.exchange, context.texts, context.host, store, false, result);
    });
}

QString confirmedOnly(const CommandContext& context)
{
    if (!context.arguments.isEmpty())
        return QStringLiteral("too many arguments");
    return context.confirmed ? QString()
                             : QStringLiteral("erase deletes every entry on the handset: "
                                              "confirm with --yes");
}

int erase(CommandContext& context)
{
    requireHandset(context);
    return eraseHandset(context);
}

const Command kCommands[] = {
    {"detect", noArguments, detect, "detect"},
    {"list", noArguments, list, "list"},
    {"backup", oneFile, backup, "backup FILE.csv|FILE.vcf"},
    {"restore", oneCsvFile, restore, "[--replace] restore FILE.csv"},
    {"erase", confirmedOnly, erase, "erase --yes"},
    {"convert", csvAndVcard, convert, "[--sim] convert IN.csv OUT.vcf | IN.vcf OUT.csv"},
    {"merge", mergeFiles, merge, "[--sim] merge BASE.csv IN.vcf|IN.csv OUT.csv"},
    {"duplicates", oneFile, duplicates, "duplicates FILE.csv"},
};

} // namespace

std::optional<Command> findCommand(const QString& name)
{
    for (const Command& command : kCommands)
        if (name == QLatin1String(command.name))
            return command;
    return std::nullopt;
}

} // namespace q7
