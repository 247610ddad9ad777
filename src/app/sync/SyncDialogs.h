// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace q7 {

class LanguageFile;

namespace sync {
class SyncRun;
}

// "Abgleichen…", first step: which address book. The folder given last
// time is offered again.
class SyncChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    SyncChoiceDialog(const QString& location, const LanguageFile& texts, QWidget* parent = nullptr);

    QString location() const;
    QLineEdit* locationEdit() const { return m_location; }
    QPushButton* chooseButton() const { return m_choose; }
    QPushButton* startButton() const;

private:
    QLineEdit* m_location = nullptr;
    QPushButton* m_choose = nullptr;
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
