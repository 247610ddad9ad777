// SPDX-License-Identifier: GPL-3.0-or-later
// The English language file that ships with the program: it must translate
// every text of the table, so a text added later without its English
// counterpart fails here rather than showing German in an English program.

#include "base/LanguageFile.h"
#include "base/ProgramLanguage.h"
#include "base/Texts.h"

#include <QFile>
#include <QSet>
#include <QTest>

using namespace q7;

namespace {

const QString kMissing = QStringLiteral("\x01missing");

#define Q7_LIST_TEXT(id, section, key, fallback) TextId::id,
constexpr TextId kAllTexts[] = {Q7_TEXTS(Q7_LIST_TEXT)};
#undef Q7_LIST_TEXT

QString englishFilePath()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

} // namespace

class TestEnglishFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(englishFilePath()), qPrintable(englishFilePath()));
    }

    void translatesEveryText_data()
    {
        QTest::addColumn<int>("id");
        for (TextId id : kAllTexts) {
            const TextEntry& entry = textEntry(id);
            QTest::addRow("%s/%s", entry.section, entry.key) << static_cast<int>(id);
        }
    }
    void translatesEveryText()
    {
        QFETCH(int, id);
        const TextEntry& entry = textEntry(static_cast<TextId>(id));
        const LanguageFile english(englishFilePath());
        const QString text = english.lookup(QString::fromLatin1(entry.section),
                                            QString::fromLatin1(entry.key), kMissing);
        QVERIFY2(text != kMissing, "no translation");
        QVERIFY2(!text.isEmpty(), "an empty translation");
    }

    void namesItsLanguage()
    {
        QCOMPARE(LanguageFile(englishFilePath()).languageCode(), QStringLiteral("en"));
    }

    // A misspelt key would be silently ignored and its text stay German.
    void holdsNoKeyOutsideTheTable()
    {
        QSet<QString> known{QStringLiteral("sprache/code")};
        for (TextId id : kAllTexts) {
            const TextEntry& entry = textEntry(id);
            known << QStringLiteral("%1/%2")
                         .arg(QLatin1String(entry.section), QLatin1String(entry.key))
                         .toLower();
        }
        QFile file(englishFilePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString section;
        for (const QString& rawLine : decodeLanguageFile(file.readAll()).split(u'\n')) {
            const QString line = rawLine.trimmed();
            if (line.startsWith(u'['))
                section = line.mid(1, line.indexOf(u']') - 1);
            else if (const qsizetype equals = line.indexOf(u'=');
                     equals > 0 && !line.startsWith(u';'))
                QVERIFY2(known.contains((section + u'/' + line.left(equals).trimmed()).toLower()),
                         qPrintable(line));
        }
    }
};

QTEST_GUILESS_MAIN(TestEnglishFile)
#include "tst_englishfile.moc"
