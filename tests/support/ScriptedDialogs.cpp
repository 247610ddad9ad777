// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedDialogs.h"

#include <QDialog>

namespace q7 {

QList<ScriptedDialogs::Call> ScriptedDialogs::callsOf(Kind kind) const
{
    QList<Call> matching;
    for (const Call& call : m_calls)
        if (call.kind == kind)
            matching << call;
    return matching;
}

QMessageBox::StandardButton ScriptedDialogs::message(QWidget* parent, QMessageBox::Icon icon,
                                                     const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton,
                                                     const ButtonCaptions& captions)
{
    (void)parent;
    m_calls << Call{Kind::Message, icon, title, text, buttons, {}, {}, captions};
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    if (buttons.testFlag(QMessageBox::Cancel))
        return QMessageBox::Cancel;
    if (buttons.testFlag(QMessageBox::Ok) || buttons == QMessageBox::NoButton)
        return QMessageBox::Ok;
    return QMessageBox::NoButton;
}

QString ScriptedDialogs::openFileName(QWidget* parent, const QString& title,
                                      const QString& windowsFilter, const QString& defaultSuffix,
                                      const QString& startFolder)
{
    (void)parent;
    (void)defaultSuffix;
    m_startFolders << startFolder;
    m_calls << Call{Kind::OpenFile, QMessageBox::NoIcon, title, windowsFilter, {}, {}, {}, {}};
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

QString ScriptedDialogs::saveFileName(QWidget* parent, const QString& title,
                                      const QString& windowsFilter, const QString& defaultSuffix,
                                      const QString& startFolder)
{
    (void)parent;
    (void)defaultSuffix;
    m_startFolders << startFolder;
    m_calls << Call{Kind::SaveFile, QMessageBox::NoIcon, title, windowsFilter, {}, {}, {}, {}};
    return m_fileNames.isEmpty() ? QString() : m_fileNames.dequeue();
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget* parent, const QColor& initial)
{
    (void)parent;
    m_calls << Call{Kind::Color, QMessageBox::NoIcon, {}, {}, {}, initial, {}, {}};
    return m_colors.isEmpty() ? std::nullopt : m_colors.dequeue();
}

int ScriptedDialogs::execDialog(QDialog& dialog)
{
    m_calls << Call{Kind::Dialog,
                    QMessageBox::NoIcon,
                    dialog.windowTitle(),
                    {},
                    {},
                    {},
                    QString::fromLatin1(dialog.metaObject()->className()),
                    {}};
    if (m_dialogScripts.isEmpty()) {
        // A write's plan that no test scripted is accepted: the tests that
        // do not look at it write as they did before the plan was shown.
        if (dialog.objectName() == QLatin1String("WritePlanDialog"))
            return QDialog::Accepted;
        return QDialog::Rejected;
    }
    return m_dialogScripts.dequeue()(dialog);
}

} // namespace q7
