// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sync/AddressBook.h"

namespace q7::sync {

// A folder with one vCard file per contact, as khard and vdirsyncer keep
// them. A card's id is its file name; its version is the file's modification
// time and size, which every write changes. Files that are not .vcf are left
// alone, and a folder that does not exist yet is made.
class VcardFolder : public AddressBook
{
public:
    explicit VcardFolder(QString path);

    QString identity() const override;
    QString displayName() const override;
    QList<CardVersion> list() override;
    QList<Card> fetch(const QStringList& ids) override;
    // Written atomically: a temporary file, then a rename, so that another
    // program never reads half a card.
    std::optional<CardVersion> put(const QString& id, const QString& uid, const QByteArray& data,
                                   const QString& ifVersion) override;
    bool remove(const QString& id, const QString& ifVersion) override;

    // "<uid>.vcf", the UID made safe for a file name.
    static QString fileNameFor(const QString& uid);

private:
    QString filePath(const QString& id) const;
    QString versionOf(const QString& id) const;

    QString m_path;
};

} // namespace q7::sync
