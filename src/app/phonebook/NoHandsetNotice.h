// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/PortFailureText.h"

#include <QFrame>
#include <optional>

class QLabel;
class QPushButton;

namespace q7 {

class LanguageFile;

// What the notice says: that no handset answered, or, when the port did not
// open, why, in the words of the failure (a port without permission is no
// matter of switching the handset on).
QString noHandsetText(const LanguageFile& texts, std::optional<PortFailureCause> cause,
                      const QString& port);

// Says on the phonebook page, where the user looks after the start, that no
// handset answered the search, with a button that leads to the port's
// settings. The status bar alone goes unnoticed at the first start.
class NoHandsetNotice : public QFrame
{
    Q_OBJECT

public:
    explicit NoHandsetNotice(QWidget* parent = nullptr);

    void applyTexts(const LanguageFile& texts);
    // Why the last search found nothing: the port's failure, none when the
    // port opened and nothing answered.
    void setCause(std::optional<PortFailureCause> cause, const QString& port);
    QString text() const;
    QPushButton* optionsButton() const { return m_optionsButton; }

signals:
    void optionsRequested();

private:
    void showText();

    const LanguageFile* m_texts = nullptr;
    std::optional<PortFailureCause> m_cause;
    QString m_port;
    QLabel* m_text;
    QPushButton* m_optionsButton;
};

} // namespace q7
