// SPDX-License-Identifier: GPL-3.0-or-later
// The entries whose additional text lines a write would lose, and how the
// user is told before it.

#include "base/LanguageFile.h"
#include "phonebook/NoteLines.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/RecordStore.h"
#include "phonebook/TransferStatusTexts.h"

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

    void entriesThatWouldLoseTheirLines_data()
    {
        QTest::addColumn<bool>("onlyChanged");
        QTest::addColumn<QList<int>>("records");
        QTest::newRow("every entry") << false << QList<int>{5, 7, 9, 600};
        QTest::newRow("only changed ones") << true << QList<int>{5, 9};
    }
    void entriesThatWouldLoseTheirLines()
    {
        QFETCH(bool, onlyChanged);
        QFETCH(QList<int>, records);
        QCOMPARE(recordsLosingNoteLines(*m_store, onlyChanged), records);
    }

    void noneWithoutLines()
    {
        auto plain = std::make_unique<RecordStore>();
        plain->setField(3, Name, "Anna");
        QVERIFY(recordsLosingNoteLines(*plain, false).isEmpty());
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
