// SPDX-License-Identifier: GPL-3.0-or-later
// The port's lists show their words in the program's language while the
// port keeps the names it stores: "Keine" chosen is flow control "None".

#include "app/options/ComComboBox.h"
#include "base/LanguageFile.h"
#include "link/ComPort.h"

#include <QApplication>
#include <QTest>

using namespace q7;

namespace {

QString englishFilePath()
{
    return qEnvironmentVariable("Q7_SOURCE_DIR") + QStringLiteral("/lang/english.ini");
}

QStringList itemTexts(const QComboBox& list)
{
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.itemText(i);
    return texts;
}

} // namespace

class TestComComboBox : public QObject
{
    Q_OBJECT

private slots:
    void wordsInTheLanguage_data();
    void wordsInTheLanguage();
};

void TestComComboBox::wordsInTheLanguage_data()
{
    QTest::addColumn<QString>("file"); // empty: none
    QTest::addColumn<QStringList>("flowControls");
    QTest::addColumn<QString>("customBaud");
    QTest::newRow("German") << QString() << QStringList{"Hardware", "Software", "Keine", "Eigene"}
                            << "Eigene";
    QTest::newRow("English") << englishFilePath()
                             << QStringList{"Hardware", "Software", "None", "Custom"} << "Custom";
}

void TestComComboBox::wordsInTheLanguage()
{
    QFETCH(QString, file);
    QFETCH(QStringList, flowControls);
    QFETCH(QString, customBaud);

    const LanguageFile texts(file);
    TComPort port;
    port.setFlowControlChoice(fcHardware);
    TComComboBox flow;
    flow.setComPort(&port);
    flow.setTexts(&texts);
    flow.setComProperty(cpFlowControl);
    QCOMPARE(itemTexts(flow), flowControls);
    QCOMPARE(flow.currentIndex(), 0);

    // The word chosen gives the port the stored name's setting, and the list
    // finds it again by that name.
    flow.setCurrentIndex(2);
    flow.ApplySettings();
    QCOMPARE(port.flowControlChoice(), fcNone);
    QCOMPARE(flow.portValueName(), QStringLiteral("None"));
    flow.setCurrentIndex(-1);
    flow.ShowPortValue();
    QCOMPARE(flow.currentText(), flowControls[2]);

    // Numbers stay numbers; only "Custom" is a word.
    TComComboBox baud;
    baud.setComPort(&port);
    baud.setComProperty(cpBaudRate);
    QCOMPARE(baud.itemText(0), QStringLiteral("Custom"));
    baud.setTexts(&texts);
    QCOMPARE(baud.itemText(0), customBaud);
    QCOMPARE(baud.nameAt(0), QStringLiteral("Custom"));
    QCOMPARE(baud.currentText(), QStringLiteral("115200"));
    baud.setCurrentIndex(baud.findText(QStringLiteral("9600")));
    baud.ApplySettings();
    QCOMPARE(port.BaudRate(), br9600);
}

QTEST_MAIN(TestComComboBox)
#include "tst_comcombobox.moc"
