// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "phonebook/NumberTypes.h"
#include "phonebook/RecordStore.h"
#include "print/PhoneList.h"

#include <QDate>
#include <QList>
#include <QPrintPreviewDialog>
#include <QPrinter>

class QCheckBox;
class QComboBox;
class QPrintPreviewWidget;

namespace q7 {

class LanguageFile;

// The printer has to be there before the dialog that previews it.
struct PhoneListPrinter
{
    QPrinter m_printer{QPrinter::HighResolution};
};

// "Drucken…": the phone list in Qt's print preview. Beside the preview's own
// tools the user chooses the whole phonebook or the entries selected in the
// tree, and whether the entries stand under their groups; the print button
// goes to the system's printers or to a PDF file, and gets the same pages.
// The list is of the phonebook as it was when the dialog opened.
class PhoneListPreview : private PhoneListPrinter, public QPrintPreviewDialog
{
public:
    // treeOrder: the records of the phonebook tree in its order; selected:
    // those selected there, in the same order.
    PhoneListPreview(const RecordStore& store, QList<int> treeOrder, QList<int> selected,
                     const LanguageFile& texts, const NumberTypeNames& numberTypeNames,
                     QWidget* parent);

    QComboBox* rangeChoice() const { return m_range; }
    QCheckBox* groupChoice() const { return m_byGroup; }
    QPrintPreviewWidget* previewWidget() const { return m_preview; }
    // What the pages show with the choices as they are.
    PhoneList phoneList() const;

private:
    void paintPages(QPrinter* printer) const;

    RecordStore m_store;
    QList<int> m_treeOrder;
    QList<int> m_selected;
    const LanguageFile& m_texts;
    NumberTypeNames m_numberTypeNames;
    QDate m_date;
    QComboBox* m_range = nullptr;
    QCheckBox* m_byGroup = nullptr;
    QPrintPreviewWidget* m_preview = nullptr;
};

} // namespace q7
