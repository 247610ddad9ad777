// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace q7 {

class LanguageFile;

// The user sees and stores the names COM1..COM96. On a system whose serial
// devices have other names, a name is mapped to a device like this:
//  - explicit mappings in the settings group "Ports" (COM3=/dev/ttyUSB0, any
//    path, a pseudo-terminal included) come first and reserve their numbers;
//  - then the devices the system lists, in the order ttyS*, ttyUSB*, ttyACM*,
//    others, each family by its number, take the lowest free numbers.
// On Windows the names are the devices themselves.

// COM number -> device path: explicit mappings and the system's device paths
// in, the whole map out. A listed device that a mapping already names, also
// by another path to it (a symlink), gets no second number.
QMap<int, QString> assignComNumbers(const QMap<int, QString>& explicitMappings,
                                    const QStringList& systemDevices);

// The explicit mappings of the settings group "Ports"; names that do not
// normalise to COM1..COM96 are ignored.
QMap<int, QString> explicitPortMappings(QSettings& settings);

// The current map, from the program's settings and the ports the system lists.
QMap<int, QString> currentPortMap();

// Every mapped name, by number, for the port list of the options page.
QStringList listComPorts();

// The device of a normalised COM name; empty when nothing is mapped to it.
QString deviceForComName(const QString& comName);

// What the system tells about the device behind a name, so that the user
// can tell the names apart: its path and, for a USB adapter, its
// description, maker and serial number.
struct ComPortDevice
{
    QString device; // empty: no device behind the name
    QString description;
    QString manufacturer;
    QString serialNumber;
    bool present = true; // false: the name points at a device that is not there
};

// The device of a COM name with what the system's port list says about it
// (matched through symlinks, so a pinned /dev/serial/by-id/ path finds it).
ComPortDevice describeComPort(const QString& comName);

// "/dev/ttyUSB0 - FT232R USB UART (FTDI), Seriennummer A50285BI"; the
// device alone when the system says nothing more, marked when it is not
// there (an adapter pinned by name and unplugged); empty without a device.
QString deviceDescription(const ComPortDevice& port, const LanguageFile& texts);

} // namespace q7
