// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main window and what it needs around it in a test: a settings folder
// of its own, past the first start so that no disclaimer comes up, dialogs
// that answer from a script, and the simulated handset. The members go in
// the reverse order of their declaration: the window first, before the
// handset it talks to, the dialogs it may still call on its way out and the
// folder its settings are written to.

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "support/ScriptedDialogs.h"

#include <QTemporaryDir>
#include <memory>
#include <optional>

namespace q7 {

class WindowFixture
{
public:
    enum class DialogsUsed
    {
        Scripted,
        Real
    };

    explicit WindowFixture(DialogsUsed used = DialogsUsed::Scripted);

    QString filePath(const QString& name) const { return dir.filePath(name); }
    // Writes content to a file in the fixture's folder; returns its path.
    QString writeFile(const QString& name, const QByteArray& content) const;

    // A new window in place of the last one, its port on device, not shown.
    TFrm_Q7_Manager& makeWindow(const QString& device, const QString& languageFile = {});
    // A new window shown and active, back once its search at start is over.
    void start(const QString& device, const QString& languageFile = {});
    void startOnSim() { start(sim.start()); }
    // The port's device does not exist: the search at start fails at once.
    void startWithoutHandset(const QString& languageFile = {});
    // What the last search at start said.
    bool handsetFound() const { return m_found; }

    void read() { window->Btn_DatenLesenClick(); }
    void setWriteOnlyChanged(bool on);
    // The next write plan is answered with choice (a WritePlanDialog::Choice,
    // or QDialog::Rejected), keeping the entries a loaded phonebook lacks
    // when keepUnnamed; the lines it listed go to planLines (those entries
    // last), the heading above them to planHeading.
    void answerPlan(int choice, bool keepUnnamed = false);
    QStringList planLines;
    QString planHeading;

    QTemporaryDir dir;
    ScriptedDialogs dialogs;

private:
    std::optional<DialogsOverride> m_override;
    bool m_found = false;

public:
    q7sim::SimHandset sim; // unpaced, empty until a test fills it
    std::unique_ptr<TFrm_Q7_Manager> window;
};

} // namespace q7
