// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/NoteLines.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/RecordStore.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/WritePlan.h"

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

bool holdsNoteLines(const RecordStore& store, int record)
{
    return !store.fieldIsEmpty(record, Zusatz1) || !store.fieldIsEmpty(record, Zusatz2);
}

} // namespace

QList<int> recordsLosingNoteLines(const RecordStore& store, const WritePlan& plan)
{
    QList<int> records;
    for (const PlanItem& item : plan.items) {
        const bool written = item.isSent() && item.kind != PlanItem::Kind::Deleted;
        if (written && store.isLive(item.record) && holdsNoteLines(store, item.record))
            records << item.record;
    }
    return records;
}

bool holdsNotesOnlyInWindow(const RecordStore& store, const HandsetImage& image, int record)
{
    if (!store.isLive(record) || !holdsNoteLines(store, record))
        return false;
    // Also before the first read the image holds what this run wrote.
    const std::optional<int> location = recordLocation(store, record);
    const RecordStore& handset = image.entries();
    return location && handset.holdsEntry(*location) &&
           (handset.field(*location, Zusatz1) != store.field(record, Zusatz1) ||
            handset.field(*location, Zusatz2) != store.field(record, Zusatz2));
}

QList<int> notesOnlyInWindow(const RecordStore& store, const HandsetImage& image)
{
    QList<int> records;
    for (int record = 1; record <= kRecordCount; ++record)
        if (holdsNotesOnlyInWindow(store, image, record))
            records << record;
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

QString notesOnlyInWindowQuestion(const RecordStore& store, const QList<int>& records,
                                  const LanguageFile& texts)
{
    return texts.text(TextId::Schreibplan_ZusatzFrage)
        .arg(entryCount(int(records.size()), texts), firstNames(store, records));
}

} // namespace q7
