// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/NoteLines.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/RecordStore.h"
#include "phonebook/TransferStatusTexts.h"

namespace q7 {

namespace {

constexpr int kNamesShown = 3;

// "Anna, Bernd, Carla, …"
QString firstNames(const RecordStore& store, const QList<int>& records)
{
    QStringList names;
    for (int record : records.first(std::min<qsizetype>(records.size(), kNamesShown)))
        names << decodePc(store.field(record, Name));
    if (records.size() > kNamesShown)
        names << QStringLiteral("\u2026");
    return names.join(QStringLiteral(", "));
}

} // namespace

QList<int> recordsLosingNoteLines(const RecordStore& store, bool onlyChanged)
{
    QList<int> records;
    for (int record = 1; record <= kRecordCount; ++record) {
        if (!store.isLive(record) || (onlyChanged && !store.isChanged(record)))
            continue;
        if (!store.fieldIsEmpty(record, Zusatz1) || !store.fieldIsEmpty(record, Zusatz2))
            records << record;
    }
    return records;
}

QString noteLinesQuestion(const RecordStore& store, const QList<int>& records,
                          const QString& saveCaption, const LanguageFile& texts)
{
    QString caption = saveCaption;
    caption.remove(u'&');
    return texts.text(TextId::Zusatzzeilen_Frage)
        .arg(entryCount(int(records.size()), texts), firstNames(store, records), caption);
}

QString noteLinesWarning(const RecordStore& store, const QList<int>& records,
                         const LanguageFile& texts)
{
    return texts.text(TextId::Zusatzzeilen_Warnung)
        .arg(entryCount(int(records.size()), texts), firstNames(store, records));
}

} // namespace q7
