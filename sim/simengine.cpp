#include "simengine.h"

namespace q7sim {

namespace {

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";
// Looks like the start of an answer, then noise; never a final result code.
const QByteArray kGarbage = "\r\n+CPBR: 7,\"0\xff\x13\x7f,,\xfe\x01#%\r\n\x1b[~\x80";
const QByteArray kIdentity = "Vexa TLM-Q7 Rev 1.0";
constexpr int kNumberLength = 20;
constexpr int kTextLength = 18;

QByteArray info(const QByteArray& line)
{
    return "\r\n" + line + "\r\n";
}

bool toIndex(const QByteArray& text, int* value)
{
    bool ok = false;
    *value = text.trimmed().toInt(&ok);
    return ok;
}

QList<QByteArray> blankEntry(int location)
{
    QList<QByteArray> values(kValueCount);
    values[0] = QByteArray::number(location);
    return values;
}

} // namespace

bool SimEngine::quietFor(int command) const
{
    const SimOptions& o = m_state.options;
    if (m_state.silent)
        return true;
    if (o.stopAnsweringAfter && command > *o.stopAnsweringAfter)
        return true;
    return o.silentAfter && command > *o.silentAfter && command <= *o.silentAfter + o.silentFor;
}

bool SimEngine::echoing() const
{
    QMutexLocker lock(&m_state.mutex);
    return m_echo && !quietFor(m_state.commandCount + 1);
}

SimEngine::Reply SimEngine::handleLine(const QByteArray& line)
{
    if (line.trimmed().isEmpty())
        return {};

    QMutexLocker lock(&m_state.mutex);
    m_state.commands.append(line);
    const int number = ++m_state.commandCount;
    if (quietFor(number))
        return {};

    Reply reply;
    const SimOptions& o = m_state.options;
    reply.bytes =
        (o.garbageAtCommand && *o.garbageAtCommand == number) ? kGarbage : execute(line.trimmed());
    reply.dropLine = o.dropLineAfter && *o.dropLineAfter == number;
    return reply;
}

QByteArray SimEngine::execute(const QByteArray& line)
{
    if (line.size() < 2 || line.left(2).toUpper() != "AT")
        return kError;
    const QByteArray rest = line.mid(2);
    if (rest.isEmpty() || (rest.at(0) != '+' && rest.at(0) != '-'))
        return executeBasic(rest.toUpper());

    // Only the command name is case-insensitive; arguments carry entry text.
    qsizetype nameEnd = 1;
    while (nameEnd < rest.size() && rest.at(nameEnd) != '=' && rest.at(nameEnd) != '?')
        ++nameEnd;
    const QByteArray name = rest.left(nameEnd).toUpper();
    const QByteArray tail = rest.mid(nameEnd);
    const bool isTest = tail == "=?";
    const bool isSet = tail.startsWith('=') && !isTest;
    const QByteArray args = isSet ? tail.mid(1) : QByteArray();

    if (name == "+CPBS") {
        if (tail == "?") {
            int used = 0;
            for (auto it = m_state.book.cbegin(); it != m_state.book.cend(); ++it)
                used += (it.key() > kMeSize) == m_sim;
            return info("+CPBS: \"" + QByteArray(m_sim ? "SM" : "ME") + "\"," +
                        QByteArray::number(used) + "," + QByteArray::number(bookSize())) +
                   kOk;
        }
        if (isTest)
            return info("+CPBS: (\"ME\",\"SM\")") + kOk;
        const QByteArray which = args.trimmed().toUpper();
        if (which == "\"ME\"" || which == "\"SM\"") {
            m_sim = which == "\"SM\"";
            return kOk;
        }
        return kError;
    }
    if (name == "+CPBR") {
        if (isTest) {
            const QByteArray range = m_sim ? m_state.options.simRange : QByteArray("(1-500)");
            return info("+CPBR: " + range + "," + QByteArray::number(kNumberLength) + "," +
                        QByteArray::number(kTextLength)) +
                   kOk;
        }
        return isSet ? readEntries(args) : kError;
    }
    if (name == "+CPBW") {
        if (isTest)
            return info("+CPBW: (1-" + QByteArray::number(bookSize()) + "),20,(129,145),18") + kOk;
        return isSet ? writeEntry(args) : kError;
    }
    if (name == "+CPBF") {
        if (isTest)
            return info("+CPBF: 20,18") + kOk;
        return isSet ? findEntries(args) : kError;
    }
    if (name == "-SCER") {
        if (isTest)
            return info("-SCER: (1-700)") + kOk;
        return isSet ? readExtended(args) : kError;
    }
    if (name == "-SCEW")
        return isSet ? writeExtended(args) : kError;
    if (name == "-SCED")
        return isSet ? deleteExtended(args) : kError;
    return kError;
}

QByteArray SimEngine::executeBasic(const QByteArray& command)
{
    if (command.isEmpty())
        return kOk;
    if (command == "Z" || command == "Z0") {
        reset();
        return kOk;
    }
    if (command == "E0" || command == "E") {
        m_echo = false;
        return kOk;
    }
    if (command == "E1") {
        m_echo = true;
        return kOk;
    }
    if (command == "I2")
        return info(kIdentity) + kOk;
    return kError;
}

bool SimEngine::isGarbageLocation(int location) const
{
    return m_state.options.garbageAtLocation && *m_state.options.garbageAtLocation == location;
}

QByteArray SimEngine::standardLine(const char* prefix, int location) const
{
    const QList<QByteArray>& values = m_state.book.value(location);
    const QByteArray& number = values.at(5);
    const int index = m_sim ? location - kMeSize : location;
    return info(prefix + QByteArray::number(index) + ",\"" + number + "\"," +
                (number.startsWith('+') ? "145" : "129") + ",\"" + values.at(1) + "\"");
}

QByteArray SimEngine::readEntries(const QByteArray& args)
{
    const QList<QByteArray> parts = args.split(',');
    int first = 0;
    int last = 0;
    if (parts.size() > 2 || !toIndex(parts.at(0), &first))
        return kError;
    if (parts.size() == 1)
        last = first;
    else if (!toIndex(parts.at(1), &last))
        return kError;
    if (first < 1 || last > bookSize() || first > last)
        return kError;

    // The garbage location upsets the handset whether or not it holds an entry.
    const int garbage = m_state.options.garbageAtLocation.value_or(0);
    const bool garbageInRange = garbage >= locationOf(first) && garbage <= locationOf(last);
    QByteArray out;
    const auto end = m_state.book.upperBound(locationOf(last));
    for (auto it = m_state.book.lowerBound(locationOf(first)); it != end; ++it) {
        if (garbageInRange && it.key() >= garbage)
            return out + kGarbage;
        out += standardLine("+CPBR: ", it.key());
    }
    return out + (garbageInRange ? kGarbage : kOk);
}

QByteArray SimEngine::writeEntry(const QByteArray& args)
{
    QList<QByteArray> fields;
    if (!splitValues(args, &fields) || fields.size() > 4)
        return kError;
    fields.resize(4);
    const QByteArray& number = fields.at(1);
    const QByteArray& text = fields.at(3);

    const bool indexed = !fields.at(0).isEmpty();
    if (indexed && !m_sim && m_state.options.refuseIndexedMeWrite)
        return kError;
    int location = 0;
    if (indexed) {
        int index = 0;
        if (!toIndex(fields.at(0), &index) || index < 1 || index > bookSize())
            return kError;
        location = locationOf(index);
    } else {
        for (int index = 1; index <= bookSize() && !location; ++index)
            if (!m_state.book.contains(locationOf(index)))
                location = locationOf(index);
        if (!location)
            return kError; // book full
    }
    if (isGarbageLocation(location))
        return kGarbage;

    if (number.isEmpty() && text.isEmpty()) {
        if (!indexed)
            return kError;
        m_state.book.remove(location);
        return kOk;
    }
    int type = 0;
    if (!fields.at(2).isEmpty() && !toIndex(fields.at(2), &type))
        return kError;
    if (number.size() > kNumberLength || text.size() > kTextLength)
        return kError;

    auto it = m_state.book.find(location);
    if (it == m_state.book.end()) {
        it = m_state.book.insert(location, blankEntry(location));
        (*it)[3] = "TELNO";
    }
    (*it)[1] = text;
    (*it)[5] = number;
    return kOk;
}

QByteArray SimEngine::findEntries(const QByteArray& args)
{
    QList<QByteArray> fields;
    if (!splitValues(args, &fields) || fields.size() != 1)
        return kError;
    const QByteArray& prefix = fields.at(0);
    QByteArray out;
    const auto end = m_state.book.upperBound(locationOf(bookSize()));
    for (auto it = m_state.book.lowerBound(locationOf(1)); it != end; ++it) {
        if (!it->at(1).startsWith(prefix))
            continue;
        if (isGarbageLocation(it.key()))
            return out + kGarbage;
        out += standardLine("+CPBF: ", it.key());
    }
    return out + kOk;
}

QByteArray SimEngine::readExtended(const QByteArray& args)
{
    int location = 0;
    if (!toIndex(args, &location) || location < 1 || location > kLastLocation)
        return kError;
    if (isGarbageLocation(location))
        return kGarbage;
    const auto it = m_state.book.constFind(location);
    if (it == m_state.book.cend())
        return kError;
    QByteArray line = "-SCER: " + it->at(0);
    for (int i = 1; i < kValueCount; ++i) {
        line += ',';
        if (!it->at(i).isEmpty())
            line += '"' + it->at(i) + '"';
    }
    return info(line) + kOk;
}

QByteArray SimEngine::writeExtended(const QByteArray& args)
{
    if (m_state.options.refuseExtendedWrite)
        return kError;
    QList<QByteArray> values;
    if (!splitValues(args, &values) || values.size() > kValueCount)
        return kError;
    int location = 0;
    if (!toIndex(values.at(0), &location) || location < 1 || location > kLastLocation)
        return kError;
    if (isGarbageLocation(location))
        return kGarbage;
    // The handset only edits entries it already has in its own memory;
    // SIM positions take new ones.
    if (location <= kMeSize && !m_state.book.contains(location))
        return kError;
    values.resize(kValueCount);
    values[0] = QByteArray::number(location);
    values[14].clear(); // the additional text lines are not kept by a write
    values[16].clear();
    m_state.book.insert(location, values);
    return kOk;
}

QByteArray SimEngine::deleteExtended(const QByteArray& args)
{
    int location = 0;
    if (!toIndex(args, &location) || location < 1 || location > kLastLocation)
        return kError;
    if (isGarbageLocation(location))
        return kGarbage;
    return m_state.book.remove(location) ? kOk : kError;
}

} // namespace q7sim
