#include "app/Warnung.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace q7 {

namespace {

QPlainTextEdit* makeMemo(QWidget* parent, const char* name, const QString& text)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(name));
    memo->setGeometry(8, 8, 473, 337);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setPlainText(text);
    memo->hide();
    return memo;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 352, 75, 25);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFrm_Warnung::TFrm_Warnung(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Frm_Warnung"));
    setWindowTitle(QStringLiteral("Wichtiger Hinweis !!!"));
    setFixedSize(489, 383);
    setModal(true);

    Mem_Warnung_ger = makeMemo(this, "Mem_Warnung_ger", germanText());
    Mem_Warnung_eng = makeMemo(this, "Mem_Warnung_eng", englishText());
    Btn_Akzeptiert = makeButton(this, "Btn_Akzeptiert", QStringLiteral("&Akzeptiert"), 168);
    Btn_Abgeleht = makeButton(this, "Btn_Abgeleht", QStringLiteral("Abge&lehnt"), 248);
    Btn_Akzeptiert->setDefault(true);

    connect(Btn_Akzeptiert, &QPushButton::clicked, this, &TFrm_Warnung::Btn_AkzeptiertClick);
    connect(Btn_Abgeleht, &QPushButton::clicked, this, &TFrm_Warnung::Btn_AbgelehtClick);
    setEnglish(false);
}

void TFrm_Warnung::setEnglish(bool english)
{
    Mem_Warnung_eng->setVisible(english);
    Mem_Warnung_ger->setVisible(!english);
    Btn_Akzeptiert->setText(english ? QStringLiteral("&Accept") : QStringLiteral("&Akzeptiert"));
    Btn_Abgeleht->setText(english ? QStringLiteral("&Cancel") : QStringLiteral("Abge&lehnt"));
}

void TFrm_Warnung::Btn_AkzeptiertClick()
{
    accept();
}

void TFrm_Warnung::Btn_AbgelehtClick()
{
    m_declined = true;
    reject();
}

QString TFrm_Warnung::germanText()
{
    return QStringLiteral(
        "Bitte vor der Benutzung lesen!\n"
        "\n"
        "Der Q7 Manager ist ein privat entwickeltes Programm. Er ist kein Produkt der Firma "
        "Vexa und wird von ihr weder unterstützt noch geprüft.\n"
        "\n"
        "Die Benutzung erfolgt auf eigene Gefahr. Für Schäden am Handy, am Computer oder an "
        "anderen Geräten sowie für den Verlust von Daten, insbesondere von Einträgen des "
        "Telefonbuchs, wird keinerlei Haftung übernommen. Bitte sichern Sie Ihr Telefonbuch "
        "vorher mit \"Daten speichern\" in einer Datei.\n"
        "\n"
        "Das Programm ist kostenlos. Wenn es Ihnen nützt, freue ich mich über einen "
        "freiwilligen Beitrag zu seiner Weiterentwicklung.\n"
        "\n"
        "Hinweise zur Verbindung:\n"
        "- Stellen Sie die Datenrate der seriellen Schnittstelle im Menü des Handys auf "
        "\"Automatisch\". Bei einer fest eingestellten Rate findet das Programm das Handy "
        "unter Umständen nicht.\n"
        "- Port, Baudrate und Flusskontrolle werden auf der Seite \"Optionen\" eingestellt; "
        "mit \"Test\" wird das Handy erneut gesucht.\n"
        "\n"
        "Wichtig:\n"
        "Die beiden zusätzlichen Textzeilen eines Eintrags (Zusatz1 und Zusatz2) können "
        "nicht in das Handy geschrieben werden. Sie werden zwar gelesen und angezeigt, gehen "
        "aber verloren, sobald das Telefonbuch in das Handy zurückgeschrieben wird.\n"
        "\n"
        "Änderungen:\n"
        "Version 1.02\n"
        "- Einträge werden nur noch geschrieben, wenn sie geändert wurden (abschaltbar).\n"
        "- Farben der Telefonbuchanzeige einstellbar.\n"
        "- Löschbefehle können in der Datei mitgespeichert werden.\n"
        "Version 1.01\n"
        "- Verschieben von Einträgen zwischen Handyspeicher, SIM-Karte und First Nine.\n"
        "- Kopieren, Ausschneiden und Einfügen von Nummern.\n"
        "Version 1.00\n"
        "- Erste Version: Lesen, Bearbeiten und Schreiben des Telefonbuchs, Speichern und "
        "Laden als Datei.\n");
}

QString TFrm_Warnung::englishText()
{
    return QStringLiteral(
        "Please read before use!\n"
        "\n"
        "Q7 Manager is a privately developed program. It is no product of Vexa and is "
        "neither supported nor checked by that company.\n"
        "\n"
        "You use it at your own risk. No liability whatsoever is taken for damage to the "
        "handset, the computer or any other equipment, nor for any loss of data, in "
        "particular of phonebook entries. Please save your phonebook to a file first "
        "(\"Daten speichern\").\n"
        "\n"
        "The program is free. If you find it useful, a voluntary contribution to its "
        "further development is welcome.\n"
        "\n"
        "Connecting:\n"
        "- Set the serial data rate in the handset's menu to \"automatic\". With a fixed "
        "rate the program may not find the handset.\n"
        "- Port, baud rate and flow control are set on the options page; \"Test\" searches "
        "for the handset again.\n"
        "\n"
        "Important:\n"
        "The two additional text lines of an entry (Zusatz1 and Zusatz2) cannot be written "
        "to the handset. They are read and shown, but they are lost as soon as the phonebook "
        "is written back to the handset.\n"
        "\n"
        "Changes:\n"
        "Version 1.02\n"
        "- Only changed entries are written (can be switched off).\n"
        "- Colours of the phonebook view can be chosen.\n"
        "- Deletion commands can be kept in the file.\n"
        "Version 1.01\n"
        "- Moving entries between handset memory, SIM card and First Nine.\n"
        "- Copy, cut and paste of numbers.\n"
        "Version 1.00\n"
        "- First version: reading, editing and writing the phonebook, saving it to and "
        "loading it from a file.\n");
}

} // namespace q7
