// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// q7ctl run as a program, with its settings and data folders in a folder of
// the test's own, so that no test reads or writes the user's.

#include <QDir>
#include <QProcess>
#include <QStringList>

struct Q7ctlRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// withoutDisplay: as in a terminal without a graphical session, the
// platform set to one that would need it.
inline Q7ctlRun runQ7ctl(const QString& program, const QStringList& arguments,
                         const QString& folder, int timeoutMs = 60000, bool withoutDisplay = false)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (withoutDisplay) {
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(folder).filePath("config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QDir(folder).filePath("data"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
