// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimPhonebook.h"

#include <QFile>

namespace q7sim {

bool splitValues(const QByteArray& text, QList<QByteArray>* values)
{
    QList<QByteArray> out;
    const qsizetype len = text.size();
    qsizetype pos = 0;
    for (;;) {
        if (pos < len && text.at(pos) == '"') {
            // No escaping exists in this format, so the closing quote is the
            // first one that a separator (or the end) follows.
            qsizetype close = pos + 1;
            for (;; ++close) {
                close = text.indexOf('"', close);
                if (close < 0)
                    return false;
                if (close + 1 == len || text.at(close + 1) == ',')
                    break;
            }
            out.append(text.mid(pos + 1, close - pos - 1));
            pos = close + 1;
        } else {
            qsizetype comma = text.indexOf(',', pos);
            if (comma < 0)
                comma = len;
            out.append(text.mid(pos, comma - pos).trimmed());
            pos = comma;
        }
        if (pos == len)
            break;
        if (text.at(pos) != ',')
            return false;
        ++pos;
        if (pos == len) { // trailing comma: one more, empty value
            out.append(QByteArray());
            break;
        }
    }
    *values = out;
    return true;
}

bool readPhonebookCsv(const QString& path, Phonebook* book, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(path, file.errorString()));

    Phonebook loaded;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QString where = QStringLiteral("%1:%2: ").arg(path).arg(i + 1);
        QList<QByteArray> values;
        if (!splitValues(line, &values))
            return fail(where + QStringLiteral("unbalanced quotes"));
        if (values.size() != kValueCount)
            return fail(
                where +
                QStringLiteral("%1 values instead of %2").arg(values.size()).arg(kValueCount));
        bool ok = false;
        const int location = values.first().toInt(&ok);
        if (!ok || location < 1 || location > kLastLocation)
            return fail(where + QStringLiteral("location must be 1..%1").arg(kLastLocation));
        if (loaded.contains(location))
            return fail(where + QStringLiteral("location %1 appears twice").arg(location));
        values[0] = QByteArray::number(location);
        loaded.insert(location, values);
    }
    *book = loaded;
    return true;
}

} // namespace q7sim
