#include "app/PhonebookFiles.h"

#include "app/Dialogs.h"
#include "app/EditHistory.h"
#include "app/ErrorBox.h"
#include "app/ImportReport.h"
#include "app/OptionsPage.h"
#include "app/PhonebookPage.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "fileio/Vcard.h"
#include "phonebook/Confirmations.h"

#include <QFileInfo>

namespace q7 {

namespace {

// The file dialogs give the chosen filter's extension to a name typed
// without one, so the extension tells the format.
bool isVcardFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0;
}

} // namespace

PhonebookFiles::PhonebookFiles(const ManagerContext& context, PhonebookPage& page,
                               const OptionsPage& options, QObject* parent)
    : QObject(parent), m_window(context.window), m_host(context.host), m_store(context.store),
      m_groups(context.groups), m_numberTypeNames(context.numberTypeNames),
      m_languageFile(context.texts), m_page(page), m_options(options)
{}

void PhonebookFiles::applyTexts()
{
    const QString fileFormats = m_languageFile.text(TextId::Datei_Operationen_Dateiformat) + u'|' +
                                m_languageFile.text(TextId::Datei_Operationen_DateiformatVcard);
    m_openDialogFilter = fileFormats;
    m_saveDialogFilter = fileFormats;
}

void PhonebookFiles::restoreLastFolder(const QString& folder)
{
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        m_lastFolder = folder;
}

QString PhonebookFiles::chooseFile(bool forSaving, TextId title)
{
    const QString path =
        forSaving ? dialogs().saveFileName(m_window, m_languageFile.text(title), m_saveDialogFilter,
                                           QStringLiteral("csv"), m_lastFolder)
                  : dialogs().openFileName(m_window, m_languageFile.text(title), m_openDialogFilter,
                                           QStringLiteral("csv"), m_lastFolder);
    if (!path.isEmpty())
        m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

void PhonebookFiles::load()
{
    const QString path = chooseFile(false, TextId::Datei_Operationen_Import);
    if (path.isEmpty())
        return;
    // Cards are added beside the entries there: nothing is replaced.
    if (isVcardFile(path)) {
        importVcardFile(path);
        return;
    }
    if (!m_page.mayReplaceEdits())
        return;
    // A file with a single bad line changes nothing.
    guarded([&] {
        QList<int> repeated;
        m_page.takeStore(readCsvFile(path, m_store, &repeated));
        m_host.showStatus(loadedConfirmation(liveEntryCount(m_store), path, m_languageFile));
        if (!repeated.isEmpty())
            dialogs().message(m_window, QMessageBox::Warning,
                              m_languageFile.text(TextId::Datei_Operationen_Import),
                              repeatedLocationsWarning(repeated, m_languageFile), QMessageBox::Ok);
    });
}

// The cards become new entries beside those there, as the new entry dialog
// makes them: an edit, which the next write takes to the handset.
void PhonebookFiles::importVcardFile(const QString& path)
{
    const auto target = dialogs().message(
        m_window, QMessageBox::Question, m_languageFile.text(TextId::Datei_Operationen_Import),
        m_languageFile.text(TextId::vCard_Ziel),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        {{QMessageBox::Yes, m_languageFile.text(TextId::vCard_ZielHandy)},
         {QMessageBox::No, m_languageFile.text(TextId::vCard_ZielSim)}});
    if (target != QMessageBox::Yes && target != QMessageBox::No)
        return;
    guarded([&] {
        const QByteArray content = readWholeFile(path);
        const VcardImportReport report = importVcard(
            content, m_store,
            target == QMessageBox::Yes ? ImportRange::HandsetMemory : ImportRange::SimCard,
            m_numberTypeNames);
        EditResult result;
        result.touched = report.records;
        m_page.rebuildTrees();
        CollectGroupNames(m_store, m_groups);
        m_page.storeEdited(result, TextId::Rueckgaengig_Import);
        showImportReport(m_window, m_languageFile.text(TextId::Datei_Operationen_ImportBericht),
                         vcardReportLines(report, m_languageFile));
    });
}

void PhonebookFiles::save()
{
    const QString path = chooseFile(true, TextId::Datei_Operationen_Export);
    if (path.isEmpty())
        return;
    guarded([&] {
        if (isVcardFile(path)) {
            // A vCard keeps neither locations nor pending deletions: the
            // phonebook is not saved by it, so unsaved edits stay unsaved.
            writeVcardFile(path, m_store, m_numberTypeNames);
        } else {
            writeCsvFile(path, m_store, m_options.saveDeletionCommands());
            m_page.history().markSaved();
        }
        m_host.showStatus(savedConfirmation(liveEntryCount(m_store), path, m_languageFile));
    });
}

} // namespace q7
