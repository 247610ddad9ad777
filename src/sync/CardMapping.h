// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/SyncMerge.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace q7::sync {

// A card as another program keeps it, read for the fields the handset
// shares with it and edited in place: the program changes only the lines it
// maps (FN and N, the TELs it took, the first CATEGORIES value, and REV,
// which says when a card changed), and every other line stays byte for byte
// as it came, folding and line ends included.
class CardMapping
{
public:
    // `category`: the category a sync is limited to; it is no group.
    explicit CardMapping(QByteArray data, QString category = {}, int countryCode = 49);

    // A new vCard 3.0 card with its UID and REV and nothing else yet.
    static CardMapping newCard(const QString& uid, const QString& category, int countryCode,
                               const QDateTime& now = QDateTime::currentDateTimeUtc());

    // The name (FN, else N, else the company, as the import takes it), every
    // number a handset could dial with its type as the import types it, and
    // the first category that is not the sync's own.
    ContactFields fields() const;
    QString uid() const;
    // Whether the card carries the category (always true without one).
    bool inCategory() const;

    // Changes the card from what fields() gave to `to`.
    void apply(const ContactFields& to, const QDateTime& now = QDateTime::currentDateTimeUtc());

    const QByteArray& data() const;

private:
    struct Line
    {
        QByteArray raw;      // as in the file: folding and line end included
        QByteArray name;     // upper case, without a group
        QByteArray unfolded; // the content line in one piece, without its end
    };
    void parse(const QByteArray& data);
    Line lineOf(const QByteArray& content) const;
    qsizetype indexOf(QByteArrayView name, qsizetype from = 0) const;
    qsizetype endIndex() const;
    QStringList categoriesAt(qsizetype index) const;
    void setName(const QString& name);
    void setGroup(const QString& group);
    void setNumbers(const QList<SyncNumber>& to);
    void touchRevision(const QDateTime& now);

    QList<Line> m_lines;
    QByteArray m_ending = "\r\n";
    QByteArray m_version;
    QString m_category;
    int m_countryCode;
    mutable QByteArray m_data;
};

// The REV value of a card changed at `now`: "20261211T091503Z".
QByteArray revisionStamp(const QDateTime& now);

} // namespace q7::sync
