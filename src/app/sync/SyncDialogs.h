// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace q7 {

class LanguageFile;

namespace sync {
class SyncRun;
}

// What "Abgleichen…" offers again: the kind of address book, the folder,
// the server and its user, the address book chosen there. The password is
// never among it.
struct SyncChoice
{
    bool server = false;
    QString folder;
    QString serverUrl;
    QString user;
    QString book; // the address book chosen on the server
    bool remember = true;
};

// "Abgleichen…", first step: which address book, a folder of vCards or one
// on a CardDAV server. "Verbindung testen" finds the server's address books
// and lists them to choose from.
class SyncChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    // `httpAllowed`: the servers the user let us reach over plain http://;
    // the dialog asks once for any other that is not this machine.
    // `storedPassword` gives the keyring's password when the field is empty.
    SyncChoiceDialog(const SyncChoice& choice, const QStringList& httpAllowed,
                     const LanguageFile& texts, QWidget* parent = nullptr);

    void setStoredPassword(std::function<QString()> source)
    {
        m_storedPassword = std::move(source);
    }

    SyncChoice choice() const;
    // The folder, or the chosen address book on the server (the server's
    // address while none is chosen).
    QString location() const;
    QString password() const;
    const QStringList& httpAllowed() const { return m_httpAllowed; }
    // Asks about plain http:// to another machine, once for each server;
    // false when the user declined.
    bool mayUsePlainHttp();
    bool plainHttpAllowed() const;

    QRadioButton* folderChoice() const { return m_folderChoice; }
    QRadioButton* serverChoice() const { return m_serverChoice; }
    QLineEdit* locationEdit() const { return m_location; }
    QPushButton* chooseButton() const { return m_choose; }
    QLineEdit* serverEdit() const { return m_server; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QCheckBox* rememberBox() const { return m_remember; }
    QPushButton* testButton() const { return m_test; }
    QLabel* statusLabel() const { return m_status; }
    QListWidget* books() const { return m_books; }
    QPushButton* startButton() const;

    // "Verbindung testen": finds the address books and names the outcome.
    void testConnection();

private:
    void update();
    void accept() override;

    const LanguageFile& m_texts;
    QStringList m_httpAllowed;
    std::function<QString()> m_storedPassword;
    QRadioButton* m_folderChoice = nullptr;
    QRadioButton* m_serverChoice = nullptr;
    QWidget* m_folderPart = nullptr;
    QWidget* m_serverPart = nullptr;
    QLineEdit* m_location = nullptr;
    QPushButton* m_choose = nullptr;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_books = nullptr;
    QString m_book;
    QDialogButtonBox* m_buttons = nullptr;
};

// The second step: the plan, the handset's part and the address book's,
// with each conflict and the side whose value is to hold. A plan that
// deletes too much is carried out only once "Trotzdem löschen" is ticked.
class SyncPlanDialog : public QDialog
{
    Q_OBJECT

public:
    SyncPlanDialog(sync::SyncRun& run, const LanguageFile& texts, QWidget* parent = nullptr);

    QPlainTextEdit* planText() const { return m_plan; }
    QTreeWidget* conflicts() const { return m_conflicts; }
    QCheckBox* allowDeletions() const { return m_allowDeletions; }
    QPushButton* startButton() const;
    // Settles the conflict in the row for one side (0 open, 1 handset,
    // 2 address book), as the row's choice does.
    void choose(int row, int choice);

private:
    void showPlan();
    void fillConflicts();

    sync::SyncRun& m_run;
    const LanguageFile& m_texts;
    QPlainTextEdit* m_plan = nullptr;
    QTreeWidget* m_conflicts = nullptr;
    QCheckBox* m_allowDeletions = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace q7
