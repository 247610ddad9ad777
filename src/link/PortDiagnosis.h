// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace q7 {

class LanguageFile;

// What the system shows about its serial devices and who uses them: the
// folders /proc, /sys, /dev, /etc and the lock folders, read below a root,
// and who the user is. A test lays out a tree of its own and names a user
// who is not root (root opens every device).
//
// The reading of the system is the platform's half (PortDiagnosis_unix.cpp):
// current(), the group and process look-ups, deviceFacts and
// serialByIdLinks. The paths and the explanation in words are shared.
struct SystemView
{
    QString root = QStringLiteral("/");
    uint uid = 0;
    QString userName;
    uint primaryGroup = 0;
    // The groups this process runs with. A group the user joined since the
    // login is in the group database but not here.
    QList<uint> processGroups;
    qint64 ownPid = 0;
    // The kernel's log, where it may be read (brltty claiming an adapter
    // shows there); empty where it may not.
    QString kernelLog;

    // The running system and the user this program runs as.
    static SystemView current();

    // Whether this is the running system rather than a tree below a root.
    bool isLive() const { return root == QLatin1String("/"); }
    // An absolute path of the system, below the root.
    QString path(const QString& absolute) const;
    // The path a device stands for, symlinks followed, as the system names
    // it (without the root); empty when nothing is there.
    QString realPath(const QString& device) const;
    // The group's name ("dialout"); its number where the database has none.
    QString groupName(uint gid) const;
    // Whether the group database (not this process) puts the user in it.
    bool userInGroupDatabase(uint gid) const;
    // The user's own processes, and others where the system shows them.
    QList<qint64> processes() const;
    QString programOf(qint64 pid) const;
    bool isRunning(const QString& program) const;
};

// A process that holds a device open.
struct DeviceHolder
{
    qint64 pid = 0;
    QString program;
    friend bool operator==(const DeviceHolder&, const DeviceHolder&) = default;
};

// Everything the system shows about one device, for a failure's explanation
// and for the doctor's list.
struct DeviceFacts
{
    QString device;     // as the user named it
    QString realDevice; // symlinks followed; empty when it does not exist
    bool exists = false;
    uint gid = 0;
    QString group;            // the owner group's name
    QString permissions;      // "crw-rw----"
    bool groupMayUse = false; // the owner group may read and write it
    bool userMayOpen = false; // the user, as this process runs, may
    bool inGroupNow = false;  // this process runs with the owner group
    bool inGroupDatabase = false;
    QList<DeviceHolder> holders;
    QString lockFile; // a UUCP lock file for the device
    qint64 lockPid = 0;
    QString lockProgram; // empty: the lock's process no longer runs
    QString vendorId;    // a USB adapter's ids from sysfs
    QString productId;
    QString byIdPath; // its /dev/serial/by-id/ link
};

DeviceFacts deviceFacts(const QString& device, const SystemView& system);

// Every /dev/serial/by-id/ link with the device it points at, by link.
QStringList serialByIdLinks(const SystemView& system);

// The udev line that makes ModemManager leave an adapter alone.
QString modemManagerRule(const QString& vendorId, const QString& productId);

// Whether brltty has taken a USB serial adapter, by the kernel log's words.
bool brlttyClaimedAdapter(const SystemView& system);

// A port that failed to open (systemError: the system's error number), in
// words a person can act on: the cause first, then what to do. portLabel
// names the port ("COM3 (/dev/ttyUSB0)"). Empty when the number says
// nothing the technical text does not.
QString explainOpenFailure(const QString& portLabel, const QString& device, int systemError,
                           const SystemView& system, const LanguageFile& texts);

} // namespace q7
