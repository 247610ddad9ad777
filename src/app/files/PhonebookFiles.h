// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/ManagerContext.h"
#include "base/Texts.h"
#include "fileio/ContactsCsv.h"

#include <QDir>
#include <QObject>
#include <QString>

namespace q7 {

class OptionsPage;
class PhonebookPage;

// The phonebook files: "Daten laden" and "Daten speichern" with a CSV
// phonebook file or vCards, the folder the dialogs last used, and the report
// of what an import could not take over whole.
class PhonebookFiles : public QObject
{
    Q_OBJECT

public:
    PhonebookFiles(const ManagerContext& context, PhonebookPage& page, const OptionsPage& options,
                   QObject* parent = nullptr);

    void applyTexts();
    void load();
    // True when the phonebook went to a file.
    bool save();

    // The filter of the open and save dialogs in the Windows form
    // "Description|*.csv"; the dialogs' default extension is "csv".
    const QString& openDialogFilter() const { return m_openDialogFilter; }
    const QString& saveDialogFilter() const { return m_saveDialogFilter; }
    const QString& lastFolder() const { return m_lastFolder; }
    // A folder that has gone since gives way to the one there is.
    void restoreLastFolder(const QString& folder);

private:
    // Empty when the user cancelled; remembers the folder for next time.
    QString chooseFile(bool forSaving, TextId title);
    void importContactsFile(const QByteArray& content, PhonebookFileFormat format);

    QWidget* m_window;
    OperationHost& m_host;
    RecordStore& m_store;
    const NumberTypeNames& m_numberTypeNames;
    const LanguageFile& m_languageFile;
    PhonebookPage& m_page;
    const OptionsPage& m_options;
    QString m_lastFolder = QDir::homePath();
    QString m_openDialogFilter;
    QString m_saveDialogFilter;
};

} // namespace q7
