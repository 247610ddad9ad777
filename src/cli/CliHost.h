// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/OperationHost.h"

#include <QTextStream>

namespace q7 {

class LanguageFile;

// The platform's half (CliHost_unix.cpp): whether stderr is a terminal that
// someone watches, and stdin one that someone answers at.
bool stderrIsTerminal();
bool stdinIsTerminal();

// The command line's side of an operation: a progress line on stderr when it
// is a terminal, and the lost-link question asked there too. Without a
// terminal nobody can answer, so a lost link cancels.
class CliHost : public OperationHost
{
public:
    explicit CliHost(const LanguageFile& texts);
    ~CliHost() override;

    void showStatus(const QString& text) override;
    void setProgress(int value) override;
    bool retryLostLink(const QString& message) override;

    void finishLine();

private:
    void redraw();

    const LanguageFile& m_texts;
    QTextStream m_err;
    bool m_interactive;
    bool m_canAsk;
    QString m_status;
    int m_progress = 0;
    bool m_lineOpen = false;
};

} // namespace q7
