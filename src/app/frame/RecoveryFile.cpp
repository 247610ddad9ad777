// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/RecoveryFile.h"

#include "app/common/Dialogs.h"
#include "base/LanguageFile.h"
#include "base/RegistryKey.h"
#include "fileio/CsvPhonebook.h"
#include "phonebook/RecordStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

namespace q7 {

QString recoveryFilePath()
{
    const auto settings = openRegistryKey(kProgramKey);
    return QFileInfo(settings->fileName())
        .absoluteDir()
        .filePath(QStringLiteral("Q7 Manager "
                                 "recovery.csv"));
}

void writeRecoveryFile(const RecordStore& store)
{
    auto copy = std::make_unique<RecordStore>(store);
    writeCsvFile(recoveryFilePath(), *copy, true, FileReaders::OwnerOnly);
}

bool offerRecovery(QWidget* parent, const LanguageFile& texts, RecordStore& store)
{
    const QString path = recoveryFilePath();
    if (!QFileInfo::exists(path))
        return false;
    const auto answer = dialogs().message(parent, QMessageBox::Question,
                                          texts.text(TextId::Wiederherstellung_Caption),
                                          texts.text(TextId::Wiederherstellung_Frage).arg(path),
                                          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        QFile::remove(path);
        return false;
    }
    store = readCsvFile(path, store);
    for (int record = 1; record <= kRecordCount; ++record)
        if (store.holdsEntry(record))
            store.setField(record, ChangedFlag, kChangedYes.toByteArray());
    QFile::remove(path);
    return true;
}

} // namespace q7
