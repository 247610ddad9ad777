// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/WritePlan.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace q7 {

class HandsetImage;
class LanguageFile;
class RecordStore;

// What a write will do to the handset, shown before it starts: the counts,
// then one line per entry it sends (location, name, and for a changed one
// the fields old → new). When the handset was never read, it says so and
// offers to read it first. When a loaded file or snapshot lacks entries the
// handset holds, they are listed apart, by name, and the user may keep them.
class WritePlanDialog : public QDialog
{
    Q_OBJECT

public:
    // The dialog's result besides Rejected (cancel).
    enum Choice
    {
        Write = QDialog::Accepted,
        ReadFirst = QDialog::Accepted + 1,
    };

    WritePlanDialog(const WritePlan& plan, const RecordStore& store, const HandsetImage& image,
                    const LanguageFile& texts, Replacement replacedBy = Replacement::None,
                    QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    // The entries the loaded phonebook lacks; null when there are none.
    QListWidget* unnamedList() const { return m_unnamed; }
    QCheckBox* keepBox() const { return m_keep; }
    QPushButton* writeButton() const { return m_write; }
    // The user keeps the entries the loaded phonebook lacks.
    bool keepsUnnamed() const;

private:
    void showCounts();

    WritePlan m_plan;
    const LanguageFile& m_texts;
    QLabel* m_counts = nullptr;
    QListWidget* m_list = nullptr;
    QListWidget* m_unnamed = nullptr;
    QCheckBox* m_keep = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_readFirst = nullptr;
};

} // namespace q7
