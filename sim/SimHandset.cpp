// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimHandset.h"

#include "SimEngine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace q7sim {

namespace {

// Closing the master discards whatever the other side has not read yet, so a
// deliberate drop waits (this often, up to kDrainLimitMs) for the last reply
// to be read: the other side should see the answer, then the line die.
constexpr int kDrainPollMs = 10;
constexpr int kDrainLimitMs = 2000;

QByteArray escaped(const QByteArray& bytes)
{
    QByteArray out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\\')
            out += "\\\\";
        else if (c >= 0x20 && c < 0x7f)
            out += ch;
        else
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
    }
    return out;
}

// The line time of some bytes: 10 bit times each.
qint64 lineNs(qint64 bytes, int baud)
{
    return baud > 0 ? bytes * 10'000'000'000LL / baud : 0;
}

[[noreturn]] void fail(const char* what)
{
    throw std::runtime_error(std::string("q7sim: ") + what + ": " + std::strerror(errno));
}

// One byte, with room for a descriptor beside it.
struct FdMessage
{
    char byte = 0;
    iovec data{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};

    FdMessage()
    {
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
    }
    FdMessage(const FdMessage&) = delete;
    FdMessage& operator=(const FdMessage&) = delete;
};

// The simulator's own handle on the slave waits between uses as a message
// in a socket pair: a descriptor in flight belongs to no process, so a look
// for programs that hold the device (a port diagnosis) finds none, as on a
// cable. Sending closes the handle here; the line stays open all the while.
bool park(int socket, int fd)
{
    FdMessage sent;
    msghdr& message = sent.message;
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(rights), &fd, sizeof(int));
    const bool parked = ::sendmsg(socket, &message, MSG_DONTWAIT) == 1;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return parked;
}

// The parked handle, or -1.
int unpark(int socket)
{
    FdMessage received;
    msghdr& message = received.message;
    if (::recvmsg(socket, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC) != 1)
        return -1;
    const cmsghdr* rights = CMSG_FIRSTHDR(&message);
    if (!rights || rights->cmsg_type != SCM_RIGHTS)
        return -1;
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(rights), sizeof(int));
    return fd;
}

} // namespace

// The pseudo-terminal as start() hands it to the I/O thread.
struct SimLine
{
    int master;
    int parking[2]; // a socket pair, the simulator's handle on the slave in it
    int watch;      // inotify on the slave's path
    QByteArray slavePath;
};

// Serves the pty master. Lives in, and is only touched from, SimLinkThread.
class SimLink : public QObject
{
public:
    SimLink(const SimLine& line, SimState& state, std::unique_ptr<QFile> logFile);
    ~SimLink() override;
    void dropLine();

private:
    int currentBaud() const;
    void onReadable();
    void paceArrival();
    void arrived();
    void consumeInput();
    void deliver(const SimEngine::Reply& reply);
    void send(const QByteArray& bytes, qint64 readyNs);
    void pump();
    void writeReleased();
    void onHangup(bool reopened);
    void onOpened();
    void countHolders();
    template <typename Use> void withSlave(Use use);
    void dropWhenDrained();
    void closeLine(const char* why);
    void log(char direction, const QByteArray& bytes);

    int m_fd;
    int m_parking[2]; // see park()
    int m_watch;      // inotify: others opening and closing the slave
    int m_holders = 0;
    SimState& m_state;
    SimEngine m_engine;
    std::unique_ptr<QFile> m_log;
    QElapsedTimer m_clock;
    QSocketNotifier* m_readable;
    QSocketNotifier* m_writable;
    QSocketNotifier* m_watched;
    QTimer m_latency;
    QTimer m_pace;
    QTimer m_arrivalPace;
    QTimer m_drain;
    QElapsedTimer m_drainClock;

    QByteArray m_arriving;        // read from the pty, still on its way at the line rate
    qsizetype m_arrivingNow = 0;  // leading bytes of m_arriving due when m_arrivalPace fires
    qint64 m_arrivalFreeNs = 0;   // when the paced line has carried everything read so far
    qint64 m_arrivingSinceNs = 0; // when the bytes at the head of m_arriving were read
    qint64 m_echoReadyNs = 0;     // when the echo of the bytes just arrived could start out
    QByteArray m_in;              // received, not yet looked at (held back during latency)
    QByteArray m_line;            // the line being received
    SimEngine::Reply m_delayed;
    QByteArray m_out;         // to send
    qsizetype m_released = 0; // leading bytes of m_out the line rate lets out now
    qsizetype m_inFlight = 0; // bytes "on the wire" until m_pace fires
    qint64 m_lineFreeNs = 0;  // when the paced line has sent everything so far
    qint64 m_outReadyNs = 0;  // when the bytes at the head of m_out were there to send
    bool m_hungUp = true;     // nobody holds the slave open
    qint64 m_bytesIn = 0;     // since the slave was last opened, for the log
    qint64 m_bytesOut = 0;
    bool m_dropWhenSent = false;
};

SimLink::SimLink(const SimLine& line, SimState& state, std::unique_ptr<QFile> logFile)
    : m_fd(line.master), m_parking{line.parking[0], line.parking[1]}, m_watch(line.watch),
      m_state(state), m_engine(state), m_log(std::move(logFile)),
      m_readable(new QSocketNotifier(m_fd, QSocketNotifier::Read, this)),
      m_writable(new QSocketNotifier(m_fd, QSocketNotifier::Write, this)),
      m_watched(new QSocketNotifier(m_watch, QSocketNotifier::Read, this))
{
    m_clock.start();
    // Nobody but the simulator holds the slave yet, so begin as after a hang-up.
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    connect(m_readable, &QSocketNotifier::activated, this, &SimLink::onReadable);
    connect(m_watched, &QSocketNotifier::activated, this, &SimLink::countHolders);
    connect(m_writable, &QSocketNotifier::activated, this, [this] {
        m_writable->setEnabled(false);
        writeReleased();
        pump();
    });
    m_latency.setSingleShot(true);
    // A coarse timer may fire early: a handset never answers before its time.
    m_latency.setTimerType(Qt::PreciseTimer);
    connect(&m_latency, &QTimer::timeout, this, [this] {
        m_echoReadyNs = m_clock.nsecsElapsed();
        deliver(std::exchange(m_delayed, {}));
        consumeInput();
    });
    m_pace.setSingleShot(true);
    m_pace.setTimerType(Qt::PreciseTimer);
    connect(&m_pace, &QTimer::timeout, this, [this] {
        // The timer counts whole milliseconds and is set to fire at or just
        // before the line is done; the rest is slept here, so that a reply
        // shows up when its last byte would, not up to a millisecond later.
        const qint64 early = m_lineFreeNs - m_clock.nsecsElapsed();
        if (early > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(early));
        m_released += std::exchange(m_inFlight, 0);
        writeReleased();
        pump();
    });
    m_arrivalPace.setSingleShot(true);
    m_arrivalPace.setTimerType(Qt::PreciseTimer);
    connect(&m_arrivalPace, &QTimer::timeout, this, &SimLink::arrived);
    m_drain.setInterval(kDrainPollMs);
    connect(&m_drain, &QTimer::timeout, this, &SimLink::dropWhenDrained);
    log('*', "serving " + line.slavePath);
}

SimLink::~SimLink()
{
    if (m_fd >= 0)
        closeLine("stopped");
}

void SimLink::log(char direction, const QByteArray& bytes)
{
    if (!m_log)
        return;
    m_log->write(QByteArray::number(m_clock.elapsed()).rightJustified(8) + ' ' + direction + ' ' +
                 escaped(bytes) + '\n');
    m_log->flush();
}

int SimLink::currentBaud() const
{
    QMutexLocker lock(&m_state.mutex);
    return m_state.options.baud;
}

void SimLink::onReadable()
{
    // A close and an open that came before these bytes belong before them.
    countHolders();
    if (m_hungUp || m_fd < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            if (m_arriving.isEmpty())
                m_arrivingSinceNs = m_clock.nsecsElapsed();
            m_arriving.append(buffer, n);
            m_bytesIn += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        closeLine("lost"); // the slave is held open here: this is no hang-up
        return;
    }
    paceArrival();
}

// The pty hands over a whole command at once; on a cable it takes its line
// time to come in, and the handset cannot answer before its CR is there.
void SimLink::paceArrival()
{
    if (m_arriving.isEmpty() || m_arrivalPace.isActive())
        return;
    const int baud = currentBaud();
    if (baud <= 0) {
        m_in += std::exchange(m_arriving, {});
        consumeInput();
        return;
    }
    // In chunks of ~10 ms of line time, as the output. A chunk follows the
    // one before without a gap when its bytes were already waiting: a timer
    // that fired late is made up for, never added to the line time.
    m_arrivingNow = std::min<qsizetype>(m_arriving.size(), std::max(1, baud / 1000));
    const qint64 now = m_clock.nsecsElapsed();
    m_arrivalFreeNs = std::max(m_arrivingSinceNs, m_arrivalFreeNs) + lineNs(m_arrivingNow, baud);
    m_arrivalPace.start(int(std::max<qint64>(0, m_arrivalFreeNs - now) / 1'000'000));
}

void SimLink::arrived()
{
    const qint64 early = m_arrivalFreeNs - m_clock.nsecsElapsed();
    if (early > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(early));
    m_in += m_arriving.left(m_arrivingNow);
    // The line is full duplex: the echo of each byte leaves as the byte
    // comes in, so the echo of this chunk was on its way since its first
    // byte was there, not only from now.
    m_echoReadyNs = m_arrivalFreeNs - lineNs(m_arrivingNow - 1, currentBaud());
    m_arriving.remove(0, std::exchange(m_arrivingNow, 0));
    consumeInput();
    if (m_fd >= 0 && !m_hungUp)
        paceArrival();
}

void SimLink::consumeInput()
{
    // Byte by byte, so that an ATE0 or a fault affects the echo of exactly
    // the bytes after it, and a reply held back by latency holds back the
    // input behind it too, as a handset working through commands in turn.
    QByteArray echo;
    qsizetype used = 0;
    while (used < m_in.size() && !m_latency.isActive() && !m_dropWhenSent && m_fd >= 0) {
        const char c = m_in.at(used++);
        if (m_engine.echoing())
            echo += c;
        if (c == '\n')
            continue;
        if (c != '\r') {
            m_line += c;
            continue;
        }
        send(std::exchange(echo, {}), m_echoReadyNs);
        const QByteArray line = std::exchange(m_line, {});
        if (!line.trimmed().isEmpty())
            log('<', line);
        SimEngine::Reply reply = m_engine.handleLine(line);
        if (reply.bytes.isEmpty())
            continue;
        int latency = 0;
        {
            QMutexLocker lock(&m_state.mutex);
            const SimOptions& o = m_state.options;
            latency = o.latencyMs;
            const int number = m_state.commandCount;
            if (o.lateAfter && number > *o.lateAfter && number <= *o.lateAfter + o.lateFor)
                latency += o.lateMs;
        }
        if (latency > 0) {
            m_delayed = std::move(reply);
            m_latency.start(latency);
        } else {
            deliver(reply);
        }
    }
    m_in.remove(0, used);
    send(echo, m_echoReadyNs);
}

void SimLink::deliver(const SimEngine::Reply& reply)
{
    if (m_fd < 0)
        return;
    log('>', reply.bytes);
    m_dropWhenSent = m_dropWhenSent || reply.dropLine;
    send(reply.bytes, m_clock.nsecsElapsed());
}

void SimLink::send(const QByteArray& bytes, qint64 readyNs)
{
    if (bytes.isEmpty() || m_fd < 0 || m_hungUp)
        return;
    // Bytes behind others wait for the line anyway; only the head of an
    // idle line says when sending can start.
    if (m_out.isEmpty())
        m_outReadyNs = readyNs;
    m_out += bytes;
    pump();
}

void SimLink::pump()
{
    if (m_fd < 0 || m_out.isEmpty() || m_writable->isEnabled())
        return;
    const int baud = currentBaud();
    if (baud <= 0) {
        m_released = m_out.size();
        writeReleased();
        return;
    }
    if (m_released > 0 || m_pace.isActive())
        return;
    // The next chunk shows up once the line has had time to carry it: 10 bit
    // times a byte. Chunks of ~10 ms keep the timer load low and the pace even.
    // A chunk starts when the line is free or when its bytes were there,
    // whichever is later: the time a timer fired late is carried over to the
    // next chunk, so a reply takes the line time its bytes need and not that
    // rounded up to whole chunks.
    const qsizetype chunk = std::min<qsizetype>(m_out.size(), std::max(1, baud / 1000));
    const qint64 now = m_clock.nsecsElapsed();
    m_lineFreeNs = std::max(m_outReadyNs, m_lineFreeNs) + lineNs(chunk, baud);
    m_inFlight = chunk;
    m_pace.start(int(std::max<qint64>(0, m_lineFreeNs - now) / 1'000'000));
}

void SimLink::writeReleased()
{
    while (m_released > 0 && m_fd >= 0) {
        const ssize_t n = ::write(m_fd, m_out.constData(), size_t(m_released));
        if (n > 0) {
            m_bytesOut += n;
            m_out.remove(0, n);
            m_released -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            m_writable->setEnabled(true); // the other side is not reading
            return;
        }
        m_out.clear(); // hung up under us; the read side will notice
        m_released = 0;
    }
    if (m_dropWhenSent && m_out.isEmpty() && m_fd >= 0 && !m_drain.isActive()) {
        m_drainClock.start();
        m_drain.start();
    }
}

void SimLink::dropWhenDrained()
{
    int unread = 0;
    withSlave([&](int slave) { ::ioctl(slave, FIONREAD, &unread); });
    if (unread > 0 && m_drainClock.elapsed() < kDrainLimitMs)
        return;
    closeLine("dropped on purpose");
}

// Whoever opens or closes the slave shows in the watch: the simulator holds
// the slave itself (to take back an exclusive open, see onHangup), so the
// master never sees the other side go.
void SimLink::countHolders()
{
    alignas(inotify_event) char buffer[4096];
    QList<int> steps; // +1 an open, -1 a close, in order
    for (;;) {
        const ssize_t n = ::read(m_watch, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN)
                steps << 1;
            if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE))
                steps << -1;
            at += ssize_t(sizeof(inotify_event)) + event->len;
        }
    }
    for (qsizetype i = 0; i < steps.size() && m_fd >= 0; ++i) {
        const int before = m_holders;
        m_holders = std::max(0, m_holders + steps[i]);
        if (before > 0 && m_holders == 0)
            onHangup(steps.indexOf(1, i + 1) >= 0);
        else if (before == 0 && m_holders > 0)
            onOpened();
    }
}

// `reopened`: someone opened the slave again before this hang-up was seen;
// what waits on the master may be theirs.
void SimLink::onHangup(bool reopened)
{
    log('*', "hung up by the other side after " + QByteArray::number(m_bytesIn) + " bytes in, " +
                 QByteArray::number(m_bytesOut) + " bytes out");
    {
        QMutexLocker lock(&m_state.mutex);
        ++m_state.hangups;
    }
    if (m_dropWhenSent) {
        closeLine("dropped on purpose");
        return;
    }
    m_hungUp = true;
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    m_latency.stop();
    m_pace.stop();
    m_arrivalPace.stop();
    m_arriving.clear();
    m_arrivingNow = 0;
    m_in.clear();
    m_line.clear();
    m_out.clear();
    m_delayed = {};
    m_released = 0;
    m_inFlight = 0;
    m_engine.reset();
    // Bytes written just before the close would wait in the slave's input
    // for the next opener; a reset handset has nothing to say to it. What the
    // other side wrote before it closed is lost, as on a cable.
    withSlave([](int slave) {
        ::tcflush(slave, TCIFLUSH);
        // A program may take the line for itself (TIOCEXCL) and leave it so
        // when it ends; a closed serial line is free again, for the next
        // program and not only for root.
        ::ioctl(slave, TIOCNXCL);
    });
    if (!reopened) {
        char buffer[4096];
        while (::read(m_fd, buffer, sizeof buffer) > 0) {
        }
    }
}

template <typename Use> void SimLink::withSlave(Use use)
{
    const int slave = unpark(m_parking[1]);
    if (slave < 0)
        return;
    use(slave);
    park(m_parking[0], slave);
}

void SimLink::onOpened()
{
    log('*', "opened by the other side");
    m_hungUp = false;
    m_bytesIn = 0;
    m_bytesOut = 0;
    m_lineFreeNs = 0;
    m_arrivalFreeNs = 0;
    m_readable->setEnabled(true);
}

void SimLink::closeLine(const char* why)
{
    log('*', QByteArray("line closed: ") + why);
    m_readable->setEnabled(false);
    m_writable->setEnabled(false);
    m_watched->setEnabled(false);
    m_latency.stop();
    m_pace.stop();
    m_arrivalPace.stop();
    m_drain.stop();
    ::close(m_watch);
    for (const int socket : m_parking)
        ::close(socket); // and with them the parked handle
    ::close(m_fd);
    m_fd = -1;
}

void SimLink::dropLine()
{
    if (m_fd >= 0)
        closeLine("dropped on request");
}

// Owns the I/O thread; the SimLink exists exactly as long as the thread runs.
class SimLinkThread : public QThread
{
public:
    SimLinkThread(SimLine line, SimState& state, std::unique_ptr<QFile> logFile)
        : m_line(std::move(line)), m_state(state), m_log(std::move(logFile))
    {}

    void begin()
    {
        start();
        m_ready.acquire();
    }

    void dropLine()
    {
        QMetaObject::invokeMethod(
            m_link, [link = m_link] { link->dropLine(); }, Qt::QueuedConnection);
    }

protected:
    void run() override
    {
        SimLink link(m_line, m_state, std::move(m_log));
        m_link = &link;
        m_ready.release();
        exec();
    }

private:
    SimLine m_line;
    SimState& m_state;
    std::unique_ptr<QFile> m_log;
    SimLink* m_link = nullptr; // valid between begin() and the end of the thread
    QSemaphore m_ready;
};

SimHandset::SimHandset(SimOptions options) : m_state(std::make_unique<SimState>())
{
    m_state->options = std::move(options);
}

SimHandset::~SimHandset()
{
    stop();
}

QString SimHandset::start()
{
    if (m_thread)
        return m_path;
    const SimOptions opts = options();
    if (!opts.phonebookFile.isEmpty()) {
        QString error;
        if (!loadPhonebook(opts.phonebookFile, &error))
            throw std::runtime_error("q7sim: " + error.toStdString());
    }
    std::unique_ptr<QFile> log;
    if (!opts.logFile.isEmpty()) {
        log = std::make_unique<QFile>(opts.logFile);
        if (!log->open(QIODevice::WriteOnly | QIODevice::Append))
            throw std::runtime_error("q7sim: " + opts.logFile.toStdString() + ": " +
                                     log->errorString().toStdString());
    }

    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        fail("posix_openpt");
    char name[128];
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        fail("pseudo-terminal setup");
    }
    // Raw, so the slave's line discipline neither echoes nor turns CR into LF;
    // the setting holds for later opens of the slave. This handle stays open
    // as long as the line (parked, see park()): only a holder of the slave
    // can take back another program's exclusive open of it.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio{};
    // Watched from after the simulator's own open, so that only others count.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    int parking[2] = {-1, -1};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0 ||
        (::cfmakeraw(&tio), ::tcsetattr(slave, TCSANOW, &tio)) != 0 || watch < 0 ||
        ::inotify_add_watch(watch, name, IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0 ||
        ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, parking) != 0) {
        const int saved = errno;
        for (const int open : {watch, slave, parking[0], parking[1], fd})
            if (open >= 0)
                ::close(open);
        errno = saved;
        fail(name);
    }
    if (!park(parking[0], slave)) {
        const int saved = errno;
        for (const int open : {watch, parking[0], parking[1], fd})
            ::close(open);
        errno = saved;
        fail(name);
    }

    m_thread = std::make_unique<SimLinkThread>(
        SimLine{fd, {parking[0], parking[1]}, watch, QByteArray(name)}, *m_state, std::move(log));
    m_thread->begin();
    m_path = QString::fromLocal8Bit(name);
    return m_path;
}

void SimHandset::stop()
{
    if (!m_thread)
        return;
    m_thread->quit();
    m_thread->wait();
    m_thread.reset();
    m_path.clear();
}

QList<QByteArray> SimHandset::entry(int location) const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->book.value(location);
}

void SimHandset::setEntry(int location, const QList<QByteArray>& values)
{
    if (location < 1 || location > kLastLocation)
        return;
    if (values.isEmpty()) {
        clearEntry(location);
        return;
    }
    QList<QByteArray> stored = values;
    stored.resize(kValueCount);
    stored[0] = QByteArray::number(location);
    QMutexLocker lock(&m_state->mutex);
    m_state->book.insert(location, stored);
}

void SimHandset::clearEntry(int location)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->book.remove(location);
}

Phonebook SimHandset::phonebook() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->book;
}

bool SimHandset::loadPhonebook(const QString& csvPath, QString* error)
{
    Phonebook book;
    if (!readPhonebookCsv(csvPath, &book, error))
        return false;
    QMutexLocker lock(&m_state->mutex);
    m_state->book = std::move(book);
    return true;
}

QList<QByteArray> SimHandset::commands() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->commands;
}

void SimHandset::clearCommands()
{
    QMutexLocker lock(&m_state->mutex);
    m_state->commands.clear();
}

int SimHandset::commandCount() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->commandCount;
}

int SimHandset::hangupCount() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->hangups;
}

SimOptions SimHandset::options() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->options;
}

void SimHandset::setOptions(const SimOptions& options)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->options = options;
}

void SimHandset::setSilent(bool silent)
{
    QMutexLocker lock(&m_state->mutex);
    m_state->silent = silent;
}

void SimHandset::dropLine()
{
    if (m_thread)
        m_thread->dropLine();
}

} // namespace q7sim
