// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Under a real display, Q7_SYNC_SHOTS=DIR keeps a picture of a dialog a
// test drives, to look at as its user would see it.

#include <QDir>
#include <QTest>
#include <QWidget>

namespace q7::test {

inline void keepPicture(QWidget& dialog, const QString& name)
{
    const QString folder = qEnvironmentVariable("Q7_SYNC_SHOTS");
    if (folder.isEmpty())
        return;
    dialog.show();
    QTest::qWait(200);
    dialog.grab().save(QDir(folder).filePath(name));
}

} // namespace q7::test
