// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimEngine.h"

#include <QDateTime>

namespace q7sim {

namespace {

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";
// Looks like the start of an answer, then noise; never a final result code.
const QByteArray kGarbage = "\r\n+CPBR: 7,\"0\xff\x13\x7f,,\xfe\x01#%\r\n\x1b[~\x80";
const QByteArray kManufacturer = "Vexa";
const QByteArray kModel = "TLM-Q7";
const QByteArray kRevision = "Rev 1.0";
const QByteArray kIdentity = kManufacturer + ' ' + kModel + ' ' + kRevision;
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

// +CME ERROR codes the handset uses, with their verbose texts.
enum CmeError
{
    kNotAllowed = 3,
    kMemoryFull = 20,
    kInvalidIndex = 21,
    kNotFound = 22,
    kTextTooLong = 24,
    kInvalidText = 25,
    kNumberTooLong = 26,
    kInvalidNumber = 27,
};

QByteArray errorText(int code)
{
    switch (code) {
    case kNotAllowed:
        return "operation not allowed";
    case kMemoryFull:
        return "memory full";
    case kInvalidIndex:
        return "invalid index";
    case kNotFound:
        return "not found";
    case kTextTooLong:
        return "text string too long";
    case kInvalidText:
        return "invalid characters in text string";
    case kNumberTooLong:
        return "dial string too long";
    default:
        return "invalid characters in dial string";
    }
}

const QString kClockFormat = QStringLiteral("yy/MM/dd,HH:mm:ss");

QByteArray unquoted(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    if (t.size() >= 2 && t.startsWith('"') && t.endsWith('"'))
        return t.mid(1, t.size() - 2);
    return t;
}

bool isDialString(const QByteArray& number)
{
    for (const char c : number)
        if (!QByteArray("0123456789+*#pwPW,").contains(c))
            return false;
    return true;
}

QList<QByteArray> blankEntry(int location)
{
    QList<QByteArray> values(kValueCount);
    values[0] = QByteArray::number(location);
    return values;
}

} // namespace

QDateTime SimEngine::clockNow() const
{
    return QDateTime::currentDateTime().addSecs(m_clockOffsetSecs);
}

void SimEngine::reset()
{
    m_echo = true;
    m_errorMode = 0;
    m_charset = Charset::Handset;
}

QByteArray SimEngine::cmeError(int code) const
{
    switch (m_errorMode) {
    case 1:
        return info("+CME ERROR: " + QByteArray::number(code));
    case 2:
        return info("+CME ERROR: " + errorText(code));
    default:
        return kError;
    }
}

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

    if (name == "+CGMI" || name == "+CGMM" || name == "+CGMR" || name == "+CGSN" ||
        name == "+CMEE" || name == "+CSCS" || name == "+CFUN" || name == "+CCLK")
        return executeSetting(name, tail);
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
    if (command == "I" || command == "I0")
        return info(kModel) + kOk;
    if (command == "I1")
        return info(kRevision) + kOk;
    if (command == "I3")
        return info(kManufacturer) + kOk;
    if (command == "V1" || command == "Q0")
        return kOk; // what the handset does anyway: verbose codes, never quiet
    return kError;
}

QByteArray SimEngine::executeSetting(const QByteArray& name, const QByteArray& tail)
{
    if (tail == "=?") {
        if (name == "+CMEE")
            return info("+CMEE: (0-2)") + kOk;
        if (name == "+CSCS")
            return info("+CSCS: (\"" + charsetNames().join("\",\"") + "\")") + kOk;
        if (name == "+CFUN")
            return info("+CFUN: (1)") + kOk;
        return kOk;
    }
    if (tail.isEmpty()) {
        if (name == "+CGMI")
            return info(kManufacturer) + kOk;
        if (name == "+CGMM")
            return info(kModel) + kOk;
        if (name == "+CGMR")
            return info(kRevision) + kOk;
        if (name == "+CGSN")
            return m_state.options.serialNumber.isEmpty()
                       ? kError
                       : info(m_state.options.serialNumber) + kOk;
        return kError;
    }
    if (tail == "?") {
        if (name == "+CMEE")
            return info("+CMEE: " + QByteArray::number(m_errorMode)) + kOk;
        if (name == "+CSCS")
            return info("+CSCS: \"" + charsetName(m_charset) + "\"") + kOk;
        if (name == "+CFUN")
            return info("+CFUN: 1") + kOk;
        if (name == "+CCLK")
            return info("+CCLK: \"" + clockNow().toString(kClockFormat).toLatin1() + "+00\"") + kOk;
        return kError;
    }
    const QByteArray args = tail.mid(1);
    if (name == "+CFUN") // always fully on: nothing else to switch to
        return args.trimmed() == "1" ? kOk : cmeError(kNotAllowed);
    if (name == "+CCLK") {
        // "yy/MM/dd,hh:mm:ss" and a time zone in quarter hours, which the
        // handset's clock ignores.
        const QByteArray text = unquoted(args);
        const QDateTime set =
            QDateTime::fromString(QString::fromLatin1(text.left(17)), kClockFormat).addYears(100);
        if (!set.isValid())
            return cmeError(kNotAllowed);
        m_clockOffsetSecs = QDateTime::currentDateTime().secsTo(set);
        return kOk;
    }
    if (name == "+CMEE") {
        int mode = 0;
        if (!toIndex(args, &mode) || mode < 0 || mode > 2)
            return kError;
        m_errorMode = mode;
        return kOk;
    }
    if (name == "+CSCS") {
        // The name itself may come in the set now selected, as in UCS2 hex.
        const QByteArray given = unquoted(args);
        std::optional<Charset> chosen = charsetByName(given.toUpper());
        if (!chosen) {
            const std::optional<QByteArray> decoded = decodeText(given, m_charset);
            if (decoded)
                chosen = charsetByName(decoded->toUpper());
        }
        if (!chosen)
            return kError;
        m_charset = *chosen;
        return kOk;
    }
    return kError;
}

bool SimEngine::isGarbageLocation(int location) const
{
    return m_state.options.garbageAtLocation && *m_state.options.garbageAtLocation == location;
}

QByteArray SimEngine::standardLine(const char* prefix, int location) const
{
    // The standard view shows no more than +CPBR=? admits and +CPBW takes,
    // so that a client can write back what it read; the rest of a longer
    // value only the extended entry shows.
    const QList<QByteArray>& values = m_state.book.value(location);
    const QByteArray number = values.at(5).left(kNumberLength);
    const int index = m_sim ? location - kMeSize : location;
    return info(prefix + QByteArray::number(index) + ",\"" + encodeText(number, m_charset) + "\"," +
                (number.startsWith('+') ? "145" : "129") + ",\"" +
                encodeText(values.at(1).left(kTextLength), m_charset) + "\"");
}

std::optional<QByteArray> SimEngine::decodeNumber(const QByteArray& number) const
{
    // Clients differ in whether a number follows +CSCS; a dial string that is
    // not valid in the set is taken as it stands.
    const std::optional<QByteArray> decoded = decodeText(number, m_charset);
    if (decoded && isDialString(*decoded))
        return decoded;
    if (isDialString(number))
        return number;
    return std::nullopt;
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
        return cmeError(kInvalidIndex);

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

    const bool indexed = !fields.at(0).isEmpty();
    if (indexed && !m_sim && m_state.options.refuseIndexedMeWrite)
        return cmeError(kNotAllowed);
    int location = 0;
    if (indexed) {
        int index = 0;
        if (!toIndex(fields.at(0), &index))
            return kError;
        if (index < 1 || index > bookSize())
            return cmeError(kInvalidIndex);
        location = locationOf(index);
    } else {
        for (int index = 1; index <= bookSize() && !location; ++index)
            if (!m_state.book.contains(locationOf(index)))
                location = locationOf(index);
        if (!location)
            return cmeError(kMemoryFull);
    }
    if (isGarbageLocation(location))
        return kGarbage;

    if (fields.at(1).isEmpty() && fields.at(3).isEmpty()) {
        if (!indexed)
            return kError;
        m_state.book.remove(location);
        return kOk;
    }
    int type = 0;
    if (!fields.at(2).isEmpty() && !toIndex(fields.at(2), &type))
        return kError;
    const std::optional<QByteArray> number = decodeNumber(fields.at(1));
    if (!number)
        return cmeError(kInvalidNumber);
    const std::optional<QByteArray> text = decodeText(fields.at(3), m_charset);
    if (!text)
        return cmeError(kInvalidText);
    if (number->size() > kNumberLength)
        return cmeError(kNumberTooLong);
    if (text->size() > kTextLength)
        return cmeError(kTextTooLong);

    auto it = m_state.book.find(location);
    if (it == m_state.book.end()) {
        it = m_state.book.insert(location, blankEntry(location));
        (*it)[3] = "TELNO";
    }
    (*it)[1] = *text;
    (*it)[5] = *number;
    return kOk;
}

QByteArray SimEngine::findEntries(const QByteArray& args)
{
    QList<QByteArray> fields;
    if (!splitValues(args, &fields) || fields.size() != 1)
        return kError;
    const std::optional<QByteArray> decoded = decodeText(fields.at(0), m_charset);
    if (!decoded)
        return cmeError(kInvalidText);
    const QByteArray& prefix = *decoded;
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

QByteArray SimEngine::refuseLocation(const QByteArray& text, int* location) const
{
    if (!toIndex(text, location))
        return kError;
    if (*location < 1 || *location > kLastLocation)
        return cmeError(kInvalidIndex);
    if (isGarbageLocation(*location))
        return kGarbage;
    return {};
}

QByteArray SimEngine::readExtended(const QByteArray& args)
{
    int location = 0;
    if (const QByteArray refusal = refuseLocation(args, &location); !refusal.isEmpty())
        return refusal;
    const auto it = m_state.book.constFind(location);
    if (it == m_state.book.cend())
        return cmeError(kNotFound);
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
        return cmeError(kNotAllowed);
    QList<QByteArray> values;
    if (!splitValues(args, &values) || values.size() > kValueCount)
        return kError;
    int location = 0;
    if (const QByteArray refusal = refuseLocation(values.at(0), &location); !refusal.isEmpty())
        return refusal;
    // The handset only edits entries it already has in its own memory;
    // SIM positions take new ones.
    if (location <= kMeSize && !m_state.book.contains(location))
        return cmeError(kNotFound);
    values.resize(kValueCount);
    values[0] = QByteArray::number(location);
    values[14].clear(); // the additional text lines are not kept by a write
    values[16].clear();
    if (m_state.options.nameKeptBy > 0)
        values[1].truncate(m_state.options.nameKeptBy);
    m_state.book.insert(location, values);
    return kOk;
}

QByteArray SimEngine::deleteExtended(const QByteArray& args)
{
    int location = 0;
    if (const QByteArray refusal = refuseLocation(args, &location); !refusal.isEmpty())
        return refusal;
    return m_state.book.remove(location) ? kOk : cmeError(kNotFound);
}

} // namespace q7sim
