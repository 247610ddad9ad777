#pragma once

#include <QMap>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace q7 {

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

} // namespace q7
