// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace q7 {

class HandsetImage;
class LanguageFile;
class RecordStore;
struct WritePlan;

// What a write will do to the handset, shown before it starts: the counts,
// then one line per entry it sends (location, name, and for a changed one
// the fields old → new). When the handset was never read, it says so and
// offers to read it first.
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
                    const LanguageFile& texts, QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }
    QPushButton* writeButton() const { return m_write; }

private:
    QListWidget* m_list = nullptr;
    QPushButton* m_write = nullptr;
    QPushButton* m_readFirst = nullptr;
};

} // namespace q7
