// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QMessageBox>
#include <QString>
#include <optional>
#include <utility>

class QDialog;
class QWidget;

namespace q7 {

// The application title: the error boxes and the program's own message
// boxes carry it.
inline const QString kApplicationTitle = QStringLiteral("Vexa Q7 Manager");

// Every modal dialog of the program is opened through this interface, so
// that a test can answer it in advance instead of blocking on it. The
// program uses the one that dialogs() returns.
class Dialogs
{
public:
    // Words of our own on standard buttons, where "Yes" and "No" would not
    // say what each choice does.
    using ButtonCaptions = QList<std::pair<QMessageBox::StandardButton, QString>>;

    virtual ~Dialogs() = default;

    virtual QMessageBox::StandardButton
    message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            const ButtonCaptions& captions = {}) = 0;

    // The filter in the Windows form "Description|*.ext|..." as the language
    // file gives it. An empty name: the user cancelled.
    // The dialog starts in startFolder. The save dialog asks before it
    // overwrites a file; the open dialog takes a name that does not exist,
    // so that the import reports it.
    virtual QString openFileName(QWidget* parent, const QString& title,
                                 const QString& windowsFilter, const QString& defaultSuffix,
                                 const QString& startFolder) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title,
                                 const QString& windowsFilter, const QString& defaultSuffix,
                                 const QString& startFolder) = 0;

    // nullopt: cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;

    // Any dialog of our own (the disclaimer, the new entry dialog): runs it
    // modally and returns its result code.
    virtual int execDialog(QDialog& dialog) = 0;
};

// The dialogs in use: the real ones unless a DialogsOverride is alive.
Dialogs& dialogs();

class DialogsOverride
{
public:
    explicit DialogsOverride(Dialogs& replacement);
    ~DialogsOverride();
    DialogsOverride(const DialogsOverride&) = delete;
    DialogsOverride& operator=(const DialogsOverride&) = delete;

private:
    Dialogs* m_previous;
};

// "Komma getrennte Datei (*.csv)|*.csv" in Qt's form: description and
// pattern pairs become "Description (patterns)", joined by ";;".
QString qtFileFilter(const QString& windowsFilter);

} // namespace q7
