// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace q7 {

class LanguageFile;

// Says on the phonebook page, where the user looks after the start, that no
// handset answered the search, with a button that leads to the port's
// settings. The status bar alone goes unnoticed at the first start.
class NoHandsetNotice : public QFrame
{
    Q_OBJECT

public:
    explicit NoHandsetNotice(QWidget* parent = nullptr);

    void applyTexts(const LanguageFile& texts);
    QPushButton* optionsButton() const { return m_optionsButton; }

signals:
    void optionsRequested();

private:
    QLabel* m_text;
    QPushButton* m_optionsButton;
};

} // namespace q7
