// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliHost.h"

#include "base/LanguageFile.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace q7 {

CliHost::CliHost(const LanguageFile& texts)
    : m_texts(texts), m_err(stderr), m_interactive(stderrIsTerminal()),
      m_canAsk(m_interactive && stdinIsTerminal())
{
    m_err.setEncoding(QStringConverter::System);
}

CliHost::~CliHost()
{
    finishLine();
}

void CliHost::showStatus(const QString& text)
{
    m_status = text;
    redraw();
}

void CliHost::setProgress(int value)
{
    m_progress = value;
    redraw();
}

void CliHost::redraw()
{
    if (!m_interactive)
        return;
    QString line = m_status;
    if (m_progress > 0)
        line += QStringLiteral("  [%1/700]").arg(m_progress);
    m_err << '\r' << line.leftJustified(79, u' ', true);
    m_err.flush();
    m_lineOpen = true;
}

void CliHost::finishLine()
{
    if (!m_lineOpen)
        return;
    m_err << '\n';
    m_err.flush();
    m_lineOpen = false;
}

bool CliHost::retryLostLink(const QString& message)
{
    finishLine();
    m_err << message << '\n';
    if (!m_canAsk) {
        m_err.flush();
        return false;
    }
    m_err << m_texts.text(TextId::Fehler_Wiederholen) << u' ';
    m_err.flush();
    std::string answer;
    std::getline(std::cin, answer);
    return !answer.empty() &&
           (answer[0] == 'j' || answer[0] == 'J' || answer[0] == 'y' || answer[0] == 'Y');
}

} // namespace q7
