// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/TransferStatusTexts.h"

#include "base/LanguageFile.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"

#include <QFileInfo>

namespace q7 {

QString entryCount(int count, const LanguageFile& texts)
{
    return texts.count(count, TextId::Statusleiste_EinEintrag, TextId::Statusleiste_Eintraege);
}

int liveEntryCount(const RecordStore& store)
{
    int count = 0;
    for (int record = 1; record <= kRecordCount; ++record)
        count += store.isLive(record) ? 1 : 0;
    return count;
}

QString savedConfirmation(int entries, const QString& fileName, const LanguageFile& texts)
{
    return texts.text(TextId::Statusleiste_Gespeichert)
        .arg(entryCount(entries, texts), QFileInfo(fileName).fileName());
}

QString loadedConfirmation(int entries, const QString& fileName, const LanguageFile& texts)
{
    return texts.text(TextId::Statusleiste_Geladen)
        .arg(entryCount(entries, texts), QFileInfo(fileName).fileName());
}

QString writtenConfirmation(const TransferResult& result, const LanguageFile& texts)
{
    if (result.written == 0 && result.deleted == 0)
        return texts.text(TextId::Statusleiste_Nichtszuschreiben);
    QStringList parts;
    if (result.written > 0 || result.deleted == 0)
        parts
            << texts.text(TextId::Statusleiste_Geschrieben).arg(entryCount(result.written, texts));
    if (result.deleted > 0)
        parts << texts.text(TextId::Statusleiste_Entfernt).arg(entryCount(result.deleted, texts));
    return parts.join(QStringLiteral(", "));
}

QString erasedConfirmation(const TransferResult& result, const LanguageFile& texts)
{
    return texts.text(TextId::Statusleiste_Handygeloescht).arg(entryCount(result.deleted, texts));
}

} // namespace q7
