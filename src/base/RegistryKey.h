// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace q7 {

// The program's settings key, in the registry's own words; QSettings maps it
// to the registry on Windows and to ~/.config/Norvik/Q7 Manager.conf elsewhere.
inline const QString kProgramKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Norvik\\Q7 Manager");

// Opens a registry path such as kProgramKey as native settings. The text up
// to the first backslash names the root (HKEY_LOCAL_MACHINE, otherwise the
// current user's); "Software\<organisation>\<application>" follows it.
std::unique_ptr<QSettings> openRegistryKey(const QString& registryPath);

} // namespace q7
