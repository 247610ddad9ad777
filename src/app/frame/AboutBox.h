// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QGridLayout;

namespace q7 {

class LanguageFile;

// "Über Q7 Manager": the version, the licence, the Qt the program was built
// with and runs on, and the three folders a user may have to find by hand
// (the settings, the phonebook snapshots, the language file), each with a
// button that opens it in the desktop's file manager.
class AboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit AboutBox(const LanguageFile& texts, QWidget* parent = nullptr);

    // The folders as shown, in the order of their rows; empty where there is
    // none (no language file).
    const QStringList& folders() const { return m_folders; }

    // Opens a folder as the desktop does, creating it first if it is not
    // there yet (no snapshot has been taken).
    static bool openFolder(const QString& folder);

private:
    void addFolderRow(const char* name, const QString& caption, const QString& shown,
                      const QString& folder, const QString& openCaption);

    QStringList m_folders;
    QGridLayout* m_rows;
    QString m_openName; // "%1 öffnen", the name of a row's button
};

} // namespace q7
