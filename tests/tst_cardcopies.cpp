// SPDX-License-Identifier: GPL-3.0-or-later
// "Sicherungen" with the cards a sync changed or deleted: listed among the
// handset's snapshots by time, and put back into their folder after a plan
// the user confirms.

#include "app/common/Dialogs.h"
#include "app/phonebook/SnapshotsDialog.h"
#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "support/ScriptedDialogs.h"
#include "sync/SyncState.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTreeWidget>

using namespace q7;
using namespace Qt::Literals::StringLiterals;

namespace {

const QDateTime kStart(QDate(2026, 12, 11), QTime(2, 15, 3), QTimeZone::utc());

QByteArray card(const QByteArray& uid, const QByteArray& name)
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + name +
           "\r\nTEL;TYPE=cell:0171111\r\nNOTE:kept as it was\r\nEND:VCARD\r\n";
}

} // namespace

class TestCardCopies : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_cards = m_dir->filePath(u"cards"_s);
        QDir().mkpath(m_cards);
        m_override = std::make_unique<DialogsOverride>(m_dialogs);
    }
    void cleanup()
    {
        m_override.reset();
        m_dir.reset();
    }

    // The card copy between the snapshots of before and after it; chosen,
    // it names its cards, and only putting back is offered.
    void listedByTime()
    {
        Snapshots snapshots(m_dir->filePath(u"snapshots"_s));
        snapshots.keep(imageWith("Vorher"), SnapshotReason::BeforeWrite, kStart);
        snapshots.keepCards(
            {{u"anna.vcf"_s, card("a", "Anna Alt")}, {u"bert.vcf"_s, card("b", "Bert Berg")}},
            m_cards, u"Kontakte"_s, kStart.addSecs(1));
        snapshots.keep(imageWith("Nachher"), SnapshotReason::Read, kStart.addSecs(2));
        const RecordStore window;
        SnapshotsDialog dialog(snapshots.list(), window, m_texts, nullptr, snapshots.cardCopies());
        QTreeWidget* list = dialog.snapshotList();
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(2), u"gelesen"_s);
        QCOMPARE(list->topLevelItem(1)->text(1), u"2 Karten"_s);
        QCOMPARE(list->topLevelItem(1)->text(2), u"vor dem Abgleich mit Kontakte"_s);
        QCOMPARE(list->topLevelItem(2)->text(2), u"vor dem Schreiben"_s);
        QVERIFY(dialog.loadButton()->isEnabled() && !dialog.putBackButton()->isEnabled());

        list->setCurrentItem(list->topLevelItem(1));
        QVERIFY(!dialog.loadButton()->isEnabled() && dialog.putBackButton()->isEnabled());
        QVERIFY(!dialog.chosen());
        QCOMPARE(dialog.chosenCardCopy()->cards, 2);
        QCOMPARE(dialog.differences()->count(), 2);
        QCOMPARE(dialog.differences()->item(1)->text(), u"Bert Berg"_s);

        list->setCurrentItem(list->topLevelItem(2));
        QCOMPARE(dialog.chosen()->reason, SnapshotReason::BeforeWrite);
        QVERIFY(dialog.loadButton()->isEnabled() && !dialog.putBackButton()->isEnabled());
    }

    // Put back: the plan in the question, nothing done on "No"; on "Yes"
    // the changed card back under its name and the deleted one again, and
    // the token of this folder's sync state forgotten (not another's).
    void putBackAfterThePlan()
    {
        const QByteArray anna = card("a", "Anna Alt");
        const QByteArray bert = card("b", "Bert Berg");
        writeCard(u"anna.vcf"_s, card("a", "Anna Neu"));
        Snapshots snapshots(m_dir->filePath(u"snapshots"_s));
        snapshots.keepCards({{u"anna.vcf"_s, anna}, {u"bert.vcf"_s, bert}},
                            QDir(m_cards).canonicalPath(), u"Kontakte"_s, kStart);
        const QString states = m_dir->filePath(u"state"_s);
        sync::SyncState(states, QDir(m_cards).canonicalPath(), u"123"_s, {}).setToken(u"t1"_s);
        sync::SyncState(states, u"/elsewhere"_s, u"123"_s, {}).setToken(u"t2"_s);

        const RecordStore window;
        SnapshotsDialog dialog({}, window, m_texts, nullptr, snapshots.cardCopies());
        dialog.setStateFolder(states);
        m_dialogs.queueAnswer(QMessageBox::No);
        dialog.putBackButton()->click();
        const QString question = m_dialogs.calls().last().text;
        QVERIFY2(question.contains(u"wird zurückgesetzt: Anna Alt"_s) &&
                     question.contains(u"kommt wieder: Bert Berg"_s),
                 qPrintable(question));
        QVERIFY(readCard(u"anna.vcf"_s).contains("Anna Neu"));
        QVERIFY(!QFile::exists(QDir(m_cards).filePath(u"bert.vcf"_s)));

        m_dialogs.queueAnswer(QMessageBox::Yes);
        m_dialogs.queueAnswer(QMessageBox::Ok);
        dialog.putBackButton()->click();
        QCOMPARE(readCard(u"anna.vcf"_s), anna);
        QCOMPARE(readCard(u"bert.vcf"_s), bert);
        QVERIFY2(m_dialogs.calls().last().text.contains(u"2 Karten zurückgelegt"_s),
                 qPrintable(m_dialogs.calls().last().text));
        QVERIFY(
            sync::SyncState(states, QDir(m_cards).canonicalPath(), u"123"_s, {}).token().isEmpty());
        QCOMPARE(sync::SyncState(states, u"/elsewhere"_s, u"123"_s, {}).token(), u"t2"_s);
    }

private:
    static HandsetImage imageWith(const QByteArray& name)
    {
        RecordStore read;
        read.setField(1, Speicherplatz, "1");
        read.setField(1, Name, name);
        read.setField(1, Nummer1, "0301234567");
        HandsetImage image;
        image.takeRead(read);
        return image;
    }
    void writeCard(const QString& name, const QByteArray& content)
    {
        QFile file(QDir(m_cards).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray readCard(const QString& name) const
    {
        QFile file(QDir(m_cards).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    const LanguageFile m_texts;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_cards;
};

QTEST_MAIN(TestCardCopies)
#include "tst_cardcopies.moc"
