// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/PhonebookFiles.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/files/ImportReport.h"
#include "app/options/OptionsPage.h"
#include "app/phonebook/EditHistory.h"
#include "app/phonebook/PhonebookPage.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "editing/ContactMerge.h"
#include "editing/VcardReport.h"
#include "fileio/ContactsCsv.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "fileio/VcardWriter.h"
#include "phonebook/TransferStatusTexts.h"

#include <QFileInfo>

namespace q7 {

PhonebookFiles::PhonebookFiles(const ManagerContext& context, PhonebookPage& page,
                               const OptionsPage& options, QObject* parent)
    : QObject(parent), m_window(context.window), m_host(context.host), m_store(context.store),
      m_numberTypeNames(context.numberTypeNames), m_languageFile(context.texts), m_page(page),
      m_options(options)
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
    // The file dialogs give the chosen filter's extension to a name typed
    // without one, so the extension and the content tell the format.
    QByteArray content;
    PhonebookFileFormat format = PhonebookFileFormat::PhonebookCsv;
    if (!guarded([&] {
            content = readWholeFile(path);
            format = phonebookFileFormat(path, content);
        }))
        return;
    // Cards and other programs' contacts are added beside the entries there:
    // nothing is replaced.
    if (format != PhonebookFileFormat::PhonebookCsv) {
        importContactsFile(content, format);
        return;
    }
    if (!m_page.mayReplaceEdits())
        return;
    // A file with a single bad line changes nothing.
    guarded([&] {
        QList<int> repeated;
        m_page.takeStore(readCsvFile(path, m_store, &repeated), Replacement::File);
        m_host.showStatus(loadedConfirmation(liveEntryCount(m_store), path, m_languageFile));
        if (!repeated.isEmpty())
            dialogs().message(m_window, QMessageBox::Warning,
                              m_languageFile.text(TextId::Datei_Operationen_Import),
                              repeatedLocationsWarning(repeated, m_languageFile), QMessageBox::Ok);
    });
}

// The contacts become new entries beside those there, as the new entry
// dialog makes them, or complete the entries they match: an edit, which the
// next write takes to the handset, and one undo step.
void PhonebookFiles::importContactsFile(const QByteArray& content, PhonebookFileFormat format)
{
    const auto target = dialogs().message(
        m_window, QMessageBox::Question, m_languageFile.text(TextId::Datei_Operationen_Import),
        m_languageFile.text(format == PhonebookFileFormat::ContactsCsv ? TextId::Import_ZielKontakte
                                                                       : TextId::vCard_Ziel),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        {{QMessageBox::Yes, m_languageFile.text(TextId::vCard_ZielHandy)},
         {QMessageBox::No, m_languageFile.text(TextId::vCard_ZielSim)}});
    if (target != QMessageBox::Yes && target != QMessageBox::No)
        return;
    const ImportRange range =
        target == QMessageBox::Yes ? ImportRange::HandsetMemory : ImportRange::SimCard;
    guarded([&] {
        const QList<Contact> contacts = readContacts(content, format);
        const int countryCode = userCountryCode();
        // Only where a contact meets an entry is there a choice to make;
        // otherwise both ways give the same new entries.
        MergeMode mode = MergeMode::Merge;
        const MergeCounts counts =
            countMerge(contacts, m_store, range, m_numberTypeNames, countryCode);
        if (counts.completed > 0 || counts.alreadyThere > 0) {
            const auto answer = dialogs().message(
                m_window, QMessageBox::Question,
                m_languageFile.text(TextId::Datei_Operationen_Import),
                m_languageFile.text(TextId::Import_Frage)
                    .arg(m_languageFile.count(counts.added, TextId::Import_NeuerEintrag,
                                              TextId::Import_NeueEintraege),
                         m_languageFile.count(counts.completed, TextId::Import_EinErgaenzt,
                                              TextId::Import_Ergaenzte),
                         m_languageFile.count(counts.alreadyThere, TextId::Import_EinVorhanden,
                                              TextId::Import_Vorhandene)),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                {{QMessageBox::Yes, m_languageFile.text(TextId::Kontakte_Zusammenfuehren)},
                 {QMessageBox::No, m_languageFile.text(TextId::Kontakte_AlleNeu)}});
            if (answer != QMessageBox::Yes && answer != QMessageBox::No)
                return;
            mode = answer == QMessageBox::Yes ? MergeMode::Merge : MergeMode::AllNew;
        }
        ContactImport result =
            importContacts(contacts, m_store, range, mode, m_numberTypeNames, countryCode);
        result.report.fromContactsFile = format == PhonebookFileFormat::ContactsCsv;
        m_page.applyEdit(result.edit, TextId::Rueckgaengig_Import);
        showImportReport(m_window, m_languageFile.text(TextId::Datei_Operationen_ImportBericht),
                         vcardReportLines(result.report, m_languageFile), m_lastFolder,
                         m_languageFile);
    });
}

bool PhonebookFiles::save()
{
    const QString path = chooseFile(true, TextId::Datei_Operationen_Export);
    if (path.isEmpty())
        return false;
    return guarded([&] {
        if (isVcardPath(path)) {
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
