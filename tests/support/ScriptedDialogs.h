// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/common/Dialogs.h"

#include <QList>
#include <QQueue>
#include <functional>

namespace q7 {

// Dialogs for tests: every answer is queued in advance and every call is
// recorded, so a widget test never blocks on a modal dialog. A call with no
// answer queued behaves like the user closing the dialog: a message box
// gives its default (or its only, or Cancel) button, file and colour
// dialogs give nothing, and our own dialogs are rejected untouched.
class ScriptedDialogs final : public Dialogs
{
public:
    enum class Kind
    {
        Message,
        OpenFile,
        SaveFile,
        Color,
        Dialog
    };

    struct Call
    {
        Kind kind;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text; // the message, or the file dialog's filter
        QMessageBox::StandardButtons buttons;
        QColor initialColor;
        QString dialogClass; // the class name of a dialog of our own
        ButtonCaptions captions;
    };

    // Gets the dialog before it would be shown; what it returns is the
    // dialog's result. It may click the dialog's buttons instead.
    using DialogScript = std::function<int(QDialog&)>;

    void queueAnswer(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    void queueFileName(const QString& path) { m_fileNames.enqueue(path); }
    void queueColor(std::optional<QColor> color) { m_colors.enqueue(color); }
    void queueDialog(DialogScript script) { m_dialogScripts.enqueue(std::move(script)); }

    const QList<Call>& calls() const { return m_calls; }
    QList<Call> callsOf(Kind kind) const;
    void clearCalls() { m_calls.clear(); }

    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        const ButtonCaptions& captions) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& windowsFilter,
                         const QString& defaultSuffix, const QString& startFolder) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& windowsFilter,
                         const QString& defaultSuffix, const QString& startFolder) override;
    // The folder each file dialog was asked to start in.
    const QStringList& startFolders() const { return m_startFolders; }
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    int execDialog(QDialog& dialog) override;

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QQueue<QString> m_fileNames;
    QQueue<std::optional<QColor>> m_colors;
    QQueue<DialogScript> m_dialogScripts;
    QList<Call> m_calls;
    QStringList m_startFolders;
};

} // namespace q7
