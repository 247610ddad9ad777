// SPDX-License-Identifier: GPL-3.0-or-later
// The entries whose additional text lines a write would lose, and how the
// user is told before it.

#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/NoteLines.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"
#include "phonebook/TransferStatusTexts.h"
#include "phonebook/WritePlan.h"

#include <QTest>

using namespace q7;

class TestNoteLines : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<RecordStore>();
        entry(3, "Anna", "NEIN");
        entry(5, "Bernd", "JA", "Hinterhaus");
        entry(7, "Carla", "NEIN", {}, "Nur abends");
        entry(9, "Dora", "JA", "x", "y");
        entry(11, "Q7LoeschenQ7", "JA", "weg"); // deleted, not written
        entry(600, "Emil", "NEIN", "Büro");
    }

    // What the write sends counts, not the changed flag: after a read and
    // an erase every entry goes to the handset again, flagged or not.
    void entriesThatWouldLoseTheirLines_data()
    {
        QTest::addColumn<QByteArray>("handset");
        QTest::addColumn<QList<int>>("records");
        QTest::newRow("never read: every entry")
            << QByteArray("unknown") << QList<int>{5, 7, 9, 600};
        QTest::newRow("read: the flagged ones") << QByteArray("read") << QList<int>{5, 9};
        QTest::newRow("read, then erased: every entry")
            << QByteArray("erased") << QList<int>{5, 7, 9, 600};
    }
    void entriesThatWouldLoseTheirLines()
    {
        QFETCH(QByteArray, handset);
        QFETCH(QList<int>, records);
        HandsetImage image;
        if (handset != "unknown")
            image.takeRead(*m_store);
        if (handset == "erased")
            image.setEmpty();
        QCOMPARE(recordsLosingNoteLines(*m_store, planWrite(*m_store, image, true)), records);
    }

    void noneWithoutLines()
    {
        auto plain = std::make_unique<RecordStore>();
        plain->setField(3, Speicherplatz, "3");
        plain->setField(3, Name, "Anna");
        QVERIFY(recordsLosingNoteLines(*plain, planWrite(*plain, HandsetImage(), false)).isEmpty());
    }

    // A read brings the lines the handset holds; a write leaves the handset
    // without them, and the window knows it holds them alone.
    void notesTheHandsetDropped()
    {
        HandsetImage image;
        image.takeRead(*m_store);
        QVERIFY(notesOnlyInWindow(*m_store, image).isEmpty());
        image.setEmpty();
        for (int record : {3, 5, 7})
            image.setEntry(record, *m_store, record);
        QCOMPARE(notesOnlyInWindow(*m_store, image), (QList<int>{5, 7}));
        QCOMPARE(notesOnlyInWindowQuestion(*m_store, {5, 7}, LanguageFile()),
                 QStringLiteral("2 Einträge hält das Handy ohne ihre Zusatzzeilen (Bernd, Carla): "
                                "die Zeilen stehen nur im Fenster und gehen beim Beenden verloren. "
                                "Vorher in einer Datei speichern?"));
    }

    void questionNamesCountAndFirstNames()
    {
        const QString question = noteLinesQuestion(
            *m_store, {5, 7, 9, 600}, QStringLiteral("Daten &speichern"), LanguageFile());
        QVERIFY2(question.contains(QStringLiteral("Betroffen: 4 Einträge (Bernd, Carla, Dora, "
                                                  "\u2026).")),
                 qPrintable(question));
        QVERIFY(question.contains(QStringLiteral("\"Daten speichern\"")));
        QVERIFY(question.endsWith(QStringLiteral("Trotzdem schreiben?")));

        QCOMPARE(noteLinesWarning(*m_store, {7}, LanguageFile()),
                 QStringLiteral("Warnung: Das Handy übernimmt beim Schreiben die Zusatzzeilen "
                                "(Zusatz1, Zusatz2) nicht. Betroffen: 1 Eintrag (Carla)."));
    }

    void confirmationsCount_data()
    {
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("text");
        QTest::newRow("written") << 12 << 0 << "12 Einträge geschrieben";
        QTest::newRow("one written") << 1 << 0 << "1 Eintrag geschrieben";
        QTest::newRow("written and deleted")
            << 3 << 2 << "3 Einträge geschrieben, 2 Einträge auf dem Handy gelöscht";
        QTest::newRow("only deleted") << 0 << 1 << "1 Eintrag auf dem Handy gelöscht";
        QTest::newRow("nothing") << 0 << 0
                                 << "Nichts zu schreiben: kein Eintrag musste geschrieben werden.";
    }
    void confirmationsCount()
    {
        QFETCH(int, written);
        QFETCH(int, deleted);
        QFETCH(QString, text);
        TransferResult result(TransferResult::Operation::Write);
        result.written = written;
        result.deleted = deleted;
        QCOMPARE(writtenConfirmation(result, LanguageFile()), text);
    }

    void fileAndEraseConfirmations()
    {
        QCOMPARE(savedConfirmation(27, QStringLiteral("/home/u/phonebook.csv"), LanguageFile()),
                 QStringLiteral("27 Einträge in phonebook.csv gespeichert"));
        QCOMPARE(loadedConfirmation(1, QStringLiteral("a.csv"), LanguageFile()),
                 QStringLiteral("1 Eintrag aus a.csv geladen"));
        TransferResult erased(TransferResult::Operation::Erase);
        erased.deleted = 31;
        QCOMPARE(erasedConfirmation(erased, LanguageFile()),
                 QStringLiteral("Handy gelöscht: 31 Einträge"));
        QCOMPARE(liveEntryCount(*m_store), 5);
    }

private:
    void entry(int record, const QByteArray& name, const QByteArray& changed,
               const QByteArray& zusatz1 = {}, const QByteArray& zusatz2 = {})
    {
        m_store->setField(record, Speicherplatz, QByteArray::number(record));
        m_store->setField(record, Name, name);
        m_store->setField(record, Zusatz1, zusatz1);
        m_store->setField(record, Zusatz2, zusatz2);
        m_store->setField(record, ChangedFlag, changed);
    }

    std::unique_ptr<RecordStore> m_store;
};

QTEST_GUILESS_MAIN(TestNoteLines)
#include "tst_notelines.moc"
