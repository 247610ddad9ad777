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

inline Q7ctlRun runQ7ctl(const QString& program, const QStringList& arguments,
                         const QString& folder, int timeoutMs = 60000)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
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
