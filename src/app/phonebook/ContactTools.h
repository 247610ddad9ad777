// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/ContactMerge.h"
#include "phonebook/NumberTypes.h"

#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace q7 {

class LanguageFile;
class RecordStore;
struct EditResult;

// "Doppelte Einträge…": the groups of entries that share a number or a
// folded name, each merged on request into its first entry. Every merge is
// an edit of its own, handed to `merged` at once, so that each is one undo
// step and the list shows what is left.
class DuplicatesDialog : public QDialog
{
    Q_OBJECT

public:
    DuplicatesDialog(RecordStore& store, const LanguageFile& texts,
                     const NumberTypeNames& typeNames, int countryCode,
                     std::function<void(const EditResult&)> merged, QWidget* parent = nullptr);

    const QList<QList<int>>& groups() const { return m_groups; }
    // Merges the group the selection is in; the numbers with no slot left
    // are named in a message.
    void mergeSelected();

private:
    void fill();
    int selectedGroup() const;

    RecordStore& m_store;
    const LanguageFile& m_texts;
    const NumberTypeNames& m_typeNames;
    int m_countryCode;
    std::function<void(const EditResult&)> m_merged;
    QList<QList<int>> m_groups;
    QTreeWidget* m_list;
    QPushButton* m_merge;
};

// Shows the duplicates dialog, or says that there are none.
void showDuplicates(RecordStore& store, const LanguageFile& texts, const NumberTypeNames& typeNames,
                    QWidget* parent, std::function<void(const EditResult&)> merged);

// "Nummern vereinheitlichen…": the form to choose and the list of the
// numbers it changes, shown before anything changes.
class NumberFormDialog : public QDialog
{
    Q_OBJECT

public:
    NumberFormDialog(const RecordStore& store, const LanguageFile& texts, int countryCode,
                     QWidget* parent = nullptr);

    NumberForm form() const;
    const QList<NumberRewrite>& rewrites() const { return m_rewrites; }

private:
    void plan();

    const RecordStore& m_store;
    const LanguageFile& m_texts;
    int m_countryCode;
    QList<NumberRewrite> m_rewrites;
    QRadioButton* m_international;
    QRadioButton* m_national;
    QLabel* m_count;
    QPlainTextEdit* m_changes;
    QPushButton* m_ok;
};

// Asks for the form and, once the user has seen the changes and agreed,
// rewrites the numbers as one edit handed to `changed`.
void unifyNumbers(RecordStore& store, const LanguageFile& texts, QWidget* parent,
                  const std::function<void(const EditResult&)>& changed);

} // namespace q7
