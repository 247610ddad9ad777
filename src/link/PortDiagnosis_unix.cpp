// SPDX-License-Identifier: GPL-3.0-or-later
// What a Unix system shows about its serial devices and who uses them:
// the user and groups from the system's calls, the processes and the
// adapters from /proc and /sys, the group file and the lock folders. A
// Windows build brings its own half of these functions.
#include "link/PortDiagnosis.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q7 {

namespace {

QByteArray readSmallFile(const QString& path, qint64 limit = 4096)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(limit);
}

// The lines of a group file: name:password:gid:members.
struct GroupLine
{
    QString name;
    uint gid = 0;
    QStringList members;
};

QList<GroupLine> groupFile(const SystemView& system)
{
    QList<GroupLine> groups;
    const QByteArray text = readSmallFile(system.path(QStringLiteral("/etc/group")), 1 << 20);
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 4)
            continue;
        bool ok = false;
        const uint gid = fields[2].toUInt(&ok);
        if (!ok)
            continue;
        QStringList members;
        for (const QByteArray& member : fields[3].trimmed().split(','))
            if (!member.isEmpty())
                members << QString::fromUtf8(member);
        groups.append({QString::fromUtf8(fields[0]), gid, members});
    }
    return groups;
}

QString permissionText(mode_t mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400 >> bit)) ? QLatin1Char(letters[bit]) : QLatin1Char('-');
    return text;
}

// A UUCP lock file for a device: LCK..ttyUSB0 in the first lock folder
// that holds one, with its process in the first line.
void findLockFile(DeviceFacts& facts, const SystemView& system)
{
    // A device below a folder of /dev (pts/4) has its slashes turned into
    // underscores by some programs, others use its last name only.
    QString nested = facts.realDevice;
    if (nested.startsWith(QLatin1String("/dev/")))
        nested = nested.mid(5);
    nested.replace(u'/', u'_');
    QStringList names{QFileInfo(facts.realDevice).fileName()};
    if (nested != names.front())
        names << nested;
    for (const char* folder : {"/var/lock", "/run/lock", "/tmp"}) {
        for (const QString& name : std::as_const(names)) {
            const QString lock = QLatin1String(folder) + QStringLiteral("/LCK..") + name;
            QFile file(system.path(lock));
            if (!file.exists())
                continue;
            facts.lockFile = lock;
            const QByteArray text = readSmallFile(file.fileName(), 256);
            facts.lockPid = text.split('\n').value(0).trimmed().toLongLong();
            if (facts.lockPid > 0 &&
                QFileInfo::exists(system.path(QStringLiteral("/proc/%1").arg(facts.lockPid))))
                facts.lockProgram = system.programOf(facts.lockPid);
            return;
        }
    }
}

// The processes with the device among their open files. Only what the
// system lets this user see: its own processes (root sees all).
QList<DeviceHolder> findHolders(const QString& realDevice, const SystemView& system)
{
    QList<DeviceHolder> holders;
    for (const qint64 pid : system.processes()) {
        if (pid == system.ownPid)
            continue;
        const QDir fds(system.path(QStringLiteral("/proc/%1/fd").arg(pid)));
        for (const QString& fd : fds.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
            char target[4096];
            const QByteArray link = QFile::encodeName(fds.filePath(fd));
            const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
            if (size <= 0)
                continue;
            if (QFile::decodeName(QByteArray(target, size)) == realDevice) {
                holders.append({pid, system.programOf(pid)});
                break;
            }
        }
    }
    return holders;
}

// The USB ids of the adapter behind a tty, from the first parent in sysfs
// that has them.
void findUsbIds(DeviceFacts& facts, const SystemView& system)
{
    const QString name = QFileInfo(facts.realDevice).fileName();
    QString dir = QFileInfo(system.path(QStringLiteral("/sys/class/tty/%1/device").arg(name)))
                      .canonicalFilePath();
    const QString sysRoot = QFileInfo(system.path(QStringLiteral("/sys"))).canonicalFilePath();
    while (!dir.isEmpty() && dir.startsWith(sysRoot) && dir != sysRoot) {
        const QByteArray vendor = readSmallFile(dir + QStringLiteral("/idVendor")).trimmed();
        if (!vendor.isEmpty()) {
            facts.vendorId = QString::fromLatin1(vendor);
            facts.productId =
                QString::fromLatin1(readSmallFile(dir + QStringLiteral("/idProduct")).trimmed());
            return;
        }
        dir = QFileInfo(dir).path();
    }
}

} // namespace

SystemView SystemView::current()
{
    SystemView view;
    view.uid = ::geteuid();
    if (const passwd* user = ::getpwuid(view.uid)) {
        view.userName = QString::fromLocal8Bit(user->pw_name);
        view.primaryGroup = user->pw_gid;
    }
    const int count = ::getgroups(0, nullptr);
    QList<gid_t> groups(qMax(count, 0));
    if (count > 0 && ::getgroups(count, groups.data()) == count)
        for (const gid_t gid : groups)
            view.processGroups.append(gid);
    view.processGroups.append(::getegid());
    view.ownPid = ::getpid();
    // Where the system keeps a readable kernel log; a user of the adm group
    // may read it, others see nothing here and brltty only by its process.
    QFile log(QStringLiteral("/var/log/kern.log"));
    if (log.open(QIODevice::ReadOnly)) {
        constexpr qint64 kTail = 256 * 1024;
        if (log.size() > kTail)
            log.seek(log.size() - kTail);
        view.kernelLog = QString::fromUtf8(log.readAll());
    }
    return view;
}

QString SystemView::groupName(uint gid) const
{
    for (const GroupLine& group : groupFile(*this))
        if (group.gid == gid)
            return group.name;
    if (isLive())
        if (const group* entry = ::getgrgid(gid))
            return QString::fromLocal8Bit(entry->gr_name);
    return QString::number(gid);
}

bool SystemView::userInGroupDatabase(uint gid) const
{
    if (gid == primaryGroup)
        return true;
    if (isLive() && !userName.isEmpty()) {
        // Whatever source the system's user database has, not only the file.
        int count = 64;
        QList<gid_t> groups(count);
        const QByteArray name = userName.toLocal8Bit();
        if (::getgrouplist(name.constData(), primaryGroup, groups.data(), &count) < 0) {
            groups.resize(count);
            ::getgrouplist(name.constData(), primaryGroup, groups.data(), &count);
        }
        groups.resize(count);
        return groups.contains(gid);
    }
    for (const GroupLine& group : groupFile(*this))
        if (group.gid == gid)
            return group.members.contains(userName);
    return false;
}

QList<qint64> SystemView::processes() const
{
    QList<qint64> pids;
    const QDir proc(path(QStringLiteral("/proc")));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok)
            pids.append(pid);
    }
    return pids;
}

QString SystemView::programOf(qint64 pid) const
{
    return QString::fromUtf8(
        readSmallFile(path(QStringLiteral("/proc/%1/comm").arg(pid)), 256).trimmed());
}

bool SystemView::isRunning(const QString& program) const
{
    for (const qint64 pid : processes())
        if (programOf(pid) == program)
            return true;
    return false;
}

QStringList serialByIdLinks(const SystemView& system)
{
    QStringList links;
    const QDir dir(system.path(QStringLiteral("/dev/serial/by-id")));
    for (const QString& entry :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        links << QStringLiteral("/dev/serial/by-id/") + entry;
    return links;
}

DeviceFacts deviceFacts(const QString& device, const SystemView& system)
{
    DeviceFacts facts;
    facts.device = device;
    facts.realDevice = system.realPath(device);
    if (device.startsWith(QLatin1String("/dev/serial/by-id/")))
        facts.byIdPath = device;
    if (facts.realDevice.isEmpty())
        return facts;
    struct stat info = {};
    if (::stat(QFile::encodeName(system.path(facts.realDevice)).constData(), &info) != 0)
        return facts;
    facts.exists = true;
    facts.gid = info.st_gid;
    facts.group = system.groupName(info.st_gid);
    facts.permissions = permissionText(info.st_mode);
    facts.groupMayUse = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
    facts.inGroupNow = system.processGroups.contains(info.st_gid);
    facts.inGroupDatabase = system.userInGroupDatabase(info.st_gid);
    const bool ownerMay =
        info.st_uid == system.uid && (info.st_mode & S_IRUSR) && (info.st_mode & S_IWUSR);
    const bool othersMay = (info.st_mode & S_IROTH) && (info.st_mode & S_IWOTH);
    facts.userMayOpen =
        system.uid == 0 || ownerMay || (facts.inGroupNow && facts.groupMayUse) || othersMay;
    facts.holders = findHolders(facts.realDevice, system);
    findLockFile(facts, system);
    findUsbIds(facts, system);
    if (facts.byIdPath.isEmpty())
        for (const QString& link : serialByIdLinks(system))
            if (system.realPath(link) == facts.realDevice)
                facts.byIdPath = link;
    return facts;
}

} // namespace q7
