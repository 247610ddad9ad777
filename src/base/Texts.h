// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace q7 {

// Every text the user sees that the language file may replace: its section,
// its key and the German default. This list is the only place they are
// written; callers name a text by its id.
//
//  X(id, section, key, default)
#define Q7_TEXTS(X)                                                                                \
    X(Nummernart_Telefon, "NummernArt", "Telefon", "Telefon")                                      \
    X(Nummernart_Heim, "Nummernart", "Heim", "Heim")                                               \
    X(Nummernart_Buero, "Nummernart", "Buero", "Büro")                                             \
    X(Nummernart_Mobil, "Nummernart", "Mobil", "Mobil")                                            \
    X(Nummernart_Fax, "Nummernart", "Fax", "Fax")                                                  \
    X(Nummernart_Funkruf, "Nummernart", "Funkruf", "Funkrufempfänger")                             \
    X(Nummernart_Etc, "Nummernart", "Etc", "Etc...")                                               \
    X(TAB_Telefonbuch_TAB_Name, "TAB_Telefonbuch", "TAB_Name", "Telefonbuch bearbeiten")           \
    X(TAB_Telefonbuch_Btn_DatenLesen, "TAB_Telefonbuch", "Btn_DatenLesen", "Daten &einlesen")      \
    X(TAB_Telefonbuch_Btn_Datenschreiben, "TAB_Telefonbuch", "Btn_Datenschreiben",                 \
      "Daten s&chreiben")                                                                          \
    X(TAB_Telefonbuch_Btn_Datenloeschen, "TAB_Telefonbuch", "Btn_Datenloeschen", "Löschen")        \
    X(TAB_Telefonbuch_Btn_Datenladen, "TAB_Telefonbuch", "Btn_Datenladen", "Daten &laden")         \
    X(TAB_Telefonbuch_Btn_Datenspeichern, "TAB_Telefonbuch", "Btn_Datenspeichern",                 \
      "Daten &speichern")                                                                          \
    X(TAB_Telefonbuch_Btn_Close, "TAB_Telefonbuch", "Btn_Close", "&Beenden")                       \
    X(TAB_Telefonbuch_Btn_NeuerEintrag, "TAB_Telefonbuch", "Btn_NeuerEintrag", "&Neuer Eintrag")   \
    X(TAB_Telefonbuch_Telefonbuch, "TAB_Telefonbuch", "Telefonbuch", "Telefonbuch")                \
    X(TAB_Telefonbuch_Firstnine, "TAB_Telefonbuch", "Firstnine", "First Nine")                     \
    X(Contexmenu_PM_Editieren, "Contexmenu", "PM_Editieren", "&Editieren")                         \
    X(Contexmenu_PM_Loeschen, "Contexmenu", "PM_Loeschen", "&Löschen")                             \
    X(Contexmenu_PM_Hinzufuegen, "Contexmenu", "PM_Hinzufuegen", "E&rstellen")                     \
    X(Contexmenu_Nummer, "Contexmenu", "Nummer", "Nummer")                                         \
    X(Contexmenu_PM_Einfuegenals, "Contexmenu", "PM_Einfuegenals", "Ein&fügen als")                \
    X(Contexmenu_PM_Gruppezuweisen, "Contexmenu", "PM_Gruppezuweisen", "&Gruppe zuweisen")         \
    X(Contexmenu_PM_KeineGruppe, "Contexmenu", "PM_KeineGruppe", "Keine")                          \
    X(Contexmenu_PM_Verschieben, "Contexmenu", "PM_Verschieben", "&Verschieben")                   \
    X(Contexmenu_PM_VerschiebenaufMEM, "Contexmenu", "PM_VerschiebenaufMEM", "in Handyspeicher")   \
    X(Contexmenu_PM_VerschiebenaufSIM, "Contexmenu", "PM_VerschiebenaufSIM", "auf SIM-Karte")      \
    X(Contexmenu_PM_FirstNine, "Contexmenu", "PM_FirstNine", "in First Nine")                      \
    X(Contexmenu_PM_NR_Aendern, "Contexmenu", "PM_NR_Aendern", "&Nummernart ändern")               \
    X(Contexmenu_PM_Kopieren, "Contexmenu", "PM_Kopieren", "&Kopieren")                            \
    X(Contexmenu_PM_Ausschneiden, "Contexmenu", "PM_Ausschneiden", "&Ausschneiden")                \
    X(Contexmenu_PM_Einfuegen, "Contexmenu", "PM_Einfuegen", "Ein&fügen")                          \
    X(Contexmenu_MessageboxCaption, "Contexmenu", "MessageboxCaption", "Warnung")                  \
    X(Contexmenu_MessageboxText, "Contexmenu", "MessageboxText",                                   \
      "Soll dieser Eintrag wirklich gelöscht werden?")                                             \
    X(Contexmenu_LoeschenFrage, "Contexmenu", "LoeschenFrage", "„%1“ löschen?")                    \
    X(Contexmenu_LoeschenMehrere, "Contexmenu", "LoeschenMehrere", "%1 Einträge löschen?")         \
    X(Eingabe_NummerZeichen, "Eingabe", "NummerZeichen",                                           \
      "Eine Telefonnummer kann „%1“ nicht enthalten. Erlaubt sind Ziffern, ein + am "          \
      "Anfang, *, #, p und w.")                                                                    \
    X(Eingabe_Zeichensatz, "Eingabe", "Zeichensatz",                                               \
      "Diese Zeichen kennt der Zeichensatz des Telefonbuchs nicht, sie werden als „?“ "        \
      "gespeichert: %1")                                                                           \
    X(Eingabe_NameLeer, "Eingabe", "NameLeer",                                                     \
      "Ein Eintrag braucht einen Namen, der alte bleibt. Löschen: Entf oder „Löschen“ im "   \
      "Kontextmenü.")                                                                              \
    X(Eingabe_Getauscht, "Eingabe", "Getauscht", "„%1“ und „%2“ haben die Plätze getauscht.")      \
    X(Eingabe_Geaendert, "Eingabe", "Geaendert", "%1 geändert")                                    \
    X(Eingabe_KeinFreierPlatz, "Eingabe", "KeinFreierPlatz",                                       \
      "„%1“ hat schon drei Nummern; Einfügen auf eine Nummer tauscht sie aus.")                    \
    X(Datei_Operationen_Dateiformat, "Datei_Operationen", "Dateiformat",                           \
      "Komma getrennte Datei (*.csv)|*.csv")                                                       \
    X(Datei_Operationen_Export, "Datei_Operationen", "Export", "Daten exportieren")                \
    X(Datei_Operationen_Import, "Datei_Operationen", "Import", "Daten importieren")                \
    X(Datei_Operationen_DateiformatVcard, "Datei_Operationen", "DateiformatVcard",                 \
      "vCard (*.vcf)|*.vcf")                                                                       \
    X(Datei_Operationen_ImportBericht, "Datei_Operationen", "ImportBericht", "Import-Bericht")     \
    X(Datei_Operationen_Mehrfach, "Datei_Operationen", "Mehrfach",                                 \
      "Diese Speicherplätze stehen mehr als einmal in der Datei, geladen ist jeweils nur die "    \
      "letzte Zeile: %1")                                                                          \
    /* The printed phone list: the preview's choices and the page's texts.   */                    \
    X(Drucken_Btn_Drucken, "Drucken", "Btn_Drucken", "Drucken…")                                   \
    X(Drucken_Caption, "Drucken", "Caption", "Telefonliste drucken")                               \
    X(Drucken_Ganz, "Drucken", "Ganz", "Ganzes Telefonbuch")                                       \
    X(Drucken_Auswahl, "Drucken", "Auswahl", "Ausgewählte Einträge (%1)")                          \
    X(Drucken_NachGruppe, "Drucken", "NachGruppe", "Nach Gruppe")                                  \
    X(Drucken_Kopf, "Drucken", "Kopf", "Telefonliste des Vexa TLM-Q7")                             \
    X(Drucken_Seite, "Drucken", "Seite", "Seite %1 von %2")                                        \
    X(Drucken_Platz, "Drucken", "Platz", "Platz")                                                  \
    X(Drucken_Name, "Drucken", "Name", "Name")                                                     \
    X(Drucken_Nummernart, "Drucken", "Nummernart", "Nummernart")                                   \
    X(Drucken_Nummer, "Drucken", "Nummer", "Nummer")                                               \
    X(Drucken_Gruppe, "Drucken", "Gruppe", "Gruppe")                                               \
    X(Drucken_OhneGruppe, "Drucken", "OhneGruppe", "Ohne Gruppe")                                  \
    X(Drucken_Leer, "Drucken", "Leer", "Das Telefonbuch enthält keinen Eintrag.")                  \
    X(Drucken_PdfFehler, "Drucken", "PdfFehler", "Die PDF-Datei ließ sich nicht anlegen.")         \
    X(vCard_Ziel, "vCard", "Ziel", "Wohin sollen die Karten als neue Einträge kommen?")            \
    X(vCard_ZielHandy, "vCard", "ZielHandy", "&Handyspeicher")                                     \
    X(vCard_ZielSim, "vCard", "ZielSim", "&SIM-Karte")                                             \
    X(vCard_Angelegt, "vCard", "Angelegt", "Angelegte Einträge: %1")                               \
    X(vCard_KeineKarte, "vCard", "KeineKarte", "Die Datei enthält keine vCard.")                   \
    X(vCard_Karte, "vCard", "Karte", "Karte %1, %2 (Speicherplatz %3):")                           \
    X(vCard_Gekuerzt, "vCard", "Gekuerzt", "%1 auf 30 Zeichen gekürzt: %2")                        \
    X(vCard_Ersetzt, "vCard", "Ersetzt", "%1 mit \"?\" für fehlende Zeichen: %2")                  \
    X(vCard_Ausgelassen, "vCard", "Ausgelassen", "%1 ausgelassen: %2")                             \
    X(vCard_OhneName, "vCard", "OhneName", "Karte %1 ohne Namen übersprungen (Nummer %2).")        \
    X(vCard_OhneNameUndNummer, "vCard", "OhneNameUndNummer",                                       \
      "Karte %1 ohne Namen und Nummer übersprungen.")                                              \
    X(vCard_Name, "vCard", "Name", "Name")                                                         \
    X(vCard_Nummer, "vCard", "Nummer", "Nummer")                                                   \
    X(vCard_Gruppe, "vCard", "Gruppe", "Gruppe")                                                   \
    X(vCard_Notiz, "vCard", "Notiz", "Notiz")                                                      \
    X(vCard_Adresse, "vCard", "Adresse", "Adresse")                                                \
    X(vCard_EMail, "vCard", "EMail", "E-Mail")                                                     \
    X(vCard_Firma, "vCard", "Firma", "Firma")                                                      \
    X(vCard_Angabe, "vCard", "Angabe", "Angabe")                                                   \
    X(Kontakte_Abgelehnt, "Kontakte", "Abgelehnt",                                                 \
      "Nummer nicht übernommen, \"%2\" wählt kein Handy: %1")                                      \
    X(Kontakte_Bereinigt, "Kontakte", "Bereinigt",                                                 \
      "Nummern ohne Leerzeichen, Bindestriche und Klammern übernommen: %1")                        \
    X(Kontakte_NichtUebernommen, "Kontakte", "NichtUebernommen", "Nicht übernommen:")              \
    X(Kontakte_ArtKarten, "Kontakte", "ArtKarten", "%1: %2")                                       \
    X(Kontakte_EineKarte, "Kontakte", "EineKarte", "1 Karte")                                      \
    X(Kontakte_Karten, "Kontakte", "Karten", "%1 Karten")                                          \
    X(Kontakte_Weitere, "Kontakte", "Weitere", "%1 und %2 weitere: nicht übernommen")              \
    X(Kontakte_Ergaenzt, "Kontakte", "Ergaenzt", "Um Nummern ergänzte Einträge: %1")               \
    X(Kontakte_Vorhanden, "Kontakte", "Vorhanden", "Schon vorhandene Kontakte: %1")                \
    X(Kontakte_KeineKontakte, "Kontakte", "KeineKontakte",                                         \
      "Die Datei enthält weder vCards noch Kontakte mit einer Kopfzeile.")                         \
    X(Kontakte_Doppelte, "Kontakte", "Doppelte", "Gruppen doppelter Einträge: %1")                 \
    X(Kontakte_Zusammenfuehren, "Kontakte", "Zusammenfuehren", "&Zusammenführen")                  \
    X(Kontakte_AlleNeu, "Kontakte", "AlleNeu", "&Alle als neue Einträge")                          \
    X(Kontakte_DoppelteEintraege, "Kontakte", "DoppelteEintraege", "&Doppelte Einträge…")          \
    X(Kontakte_Vereinheitlichen, "Kontakte", "Vereinheitlichen", "Nummern &vereinheitlichen…")     \
    X(Kontakte_International, "Kontakte", "International", "&International (+49…)")                \
    X(Kontakte_National, "Kontakte", "National", "&National (0…)")                                 \
    X(Kontakte_Ausgelassen, "Kontakte", "Ausgelassen", "Nicht übernommene Nummern: %1")            \
    X(Kontakte_BerichtSpeichern, "Kontakte", "BerichtSpeichern", "&Speichern…")                    \
    X(Kontakte_BerichtDateiformat, "Kontakte", "BerichtDateiformat", "Textdatei (*.txt)|*.txt")    \
    X(Kontakte_KeineDoppelten, "Kontakte", "KeineDoppelten", "Keine doppelten Einträge gefunden.") \
    X(Kontakte_DoppelteHinweis, "Kontakte", "DoppelteHinweis",                                     \
      "Einträge mit einer gemeinsamen Nummer oder demselben Namen. Eine Gruppe wird in ihrem "    \
      "ersten Eintrag zusammengeführt, oder in dem mit einer First-Nine-Position; die anderen "   \
      "werden zum Löschen markiert.")                                                              \
    X(Kontakte_Form, "Kontakte", "Form", "In welche Form sollen alle Nummern gebracht werden?")    \
    X(Kontakte_Aenderungen, "Kontakte", "Aenderungen", "Zu ändernde Nummern: %1")                  \
    X(Kontakte_KeineAenderungen, "Kontakte", "KeineAenderungen",                                   \
      "Alle Nummern haben schon diese Form.")                                                      \
    /* An import's counts, one form for one and one for more, the words for  */                    \
    /* another program's contacts file, and what a merge asks and reports.   */                    \
    X(Import_NeuerEintrag, "Import", "NeuerEintrag", "1 neuer Eintrag")                            \
    X(Import_NeueEintraege, "Import", "NeueEintraege", "%1 neue Einträge")                         \
    X(Import_EinErgaenzt, "Import", "EinErgaenzt", "1 Eintrag um Nummern ergänzt")                 \
    X(Import_Ergaenzte, "Import", "Ergaenzte", "%1 Einträge um Nummern ergänzt")                   \
    X(Import_EinVorhanden, "Import", "EinVorhanden", "1 Kontakt schon vorhanden")                  \
    X(Import_Vorhandene, "Import", "Vorhandene", "%1 Kontakte schon vorhanden")                    \
    X(Import_Frage, "Import", "Frage", "%1, %2, %3.")                                              \
    X(Import_GleicheNummer, "Import", "GleicheNummer",                                             \
      "Nummer %1 hat auch %2 (Speicherplatz %3): als eigener Eintrag angelegt")                    \
    X(Import_NichtsZuMelden, "Import", "NichtsZuMelden",                                           \
      "Nichts gekürzt, ersetzt oder ausgelassen.")                                                 \
    X(Import_KeinPlatzKarten, "Import", "KeinPlatzKarten",                                         \
      "Kein freier Speicherplatz mehr: %1 ab Karte %2 nicht importiert.")                          \
    X(Import_KeinPlatzKontakte, "Import", "KeinPlatzKontakte",                                     \
      "Kein freier Speicherplatz mehr: %1 ab Kontakt %2 nicht importiert.")                        \
    X(Import_EinKontakt, "Import", "EinKontakt", "1 Kontakt")                                      \
    X(Import_Kontakte, "Import", "Kontakte", "%1 Kontakte")                                        \
    X(Import_Kontakt, "Import", "Kontakt", "Kontakt %1, %2 (Speicherplatz %3):")                   \
    X(Import_KontaktOhneName, "Import", "KontaktOhneName",                                         \
      "Kontakt %1 ohne Namen übersprungen (Nummer %2).")                                           \
    X(Import_KontaktOhneNameUndNummer, "Import", "KontaktOhneNameUndNummer",                       \
      "Kontakt %1 ohne Namen und Nummer übersprungen.")                                            \
    X(Import_KeinKontakt, "Import", "KeinKontakt", "Die Datei enthält keinen Kontakt.")            \
    X(Import_ZielKontakte, "Import", "ZielKontakte",                                               \
      "Wohin sollen die Kontakte als neue Einträge kommen?")                                       \
    X(Import_FirstNineFrage, "Import", "FirstNineFrage",                                           \
      "Das Zusammenführen leert in First Nine: %1. Trotzdem zusammenführen?")                      \
    X(Import_FirstNinePosition, "Import", "FirstNinePosition", "Position %1 (%2)")                 \
    X(TAB_Optionen_TAB_Name, "TAB_Optionen", "TAB_Name", "Optionen")                               \
    X(TAB_Optionen_GB_COM_Settings, "TAB_Optionen", "GB_COM_Settings",                             \
      "Schnittstellen Einstellungen")                                                              \
    X(TAB_Optionen_Label_Flusskontrolle, "TAB_Optionen", "Label_Flusskontrolle",                   \
      "Fluss Kontrolle")                                                                           \
    X(TAB_Optionen_GB_TelefonbuchOptionen, "TAB_Optionen", "GB_TelefonbuchOptionen",               \
      "Telefonbuch Optionen")                                                                      \
    X(TAB_Optionen_CB_NurGeaenderte, "TAB_Optionen", "CB_NurGeaenderte",                           \
      "Nur Geänderte Datensätze schreiben")                                                        \
    X(TAB_Optionen_CB_Loeschbefehle, "TAB_Optionen", "CB_Loeschbefehle",                           \
      "Löschbefehle mitspeichern")                                                                 \
    X(TAB_Optionen_Lbl_Hintergrundfarbe, "TAB_Optionen", "Lbl_Hintergrundfarbe",                   \
      "Hintergrundfarbe auswählen")                                                                \
    X(TAB_Optionen_Lbl_Schriftfarbe, "TAB_Optionen", "Lbl_Schriftfarbe", "Schriftfarbe auswählen") \
    X(TAB_Optionen_Lbl_Hottrackfarbe, "TAB_Optionen", "Lbl_Hottrackfarbe",                         \
      "Hottrack Schriftfarbe auswählen")                                                           \
    X(Statusleiste_Handysuchen, "Statusleiste", "Handysuchen", "Nach Vexa TLM-Q7 suchen...")       \
    X(Statusleiste_Handygefunden, "Statusleiste", "Handygefunden", "Vexa TLM-Q7 gefunden...")      \
    X(Statusleiste_Handynichtgefunden, "Statusleiste", "Handynichtgefunden",                       \
      "Kein Vexa TLM-Q7 gefunden.")                                                                \
    X(Statusleiste_Checkmem, "Statusleiste", "Checkmem",                                           \
      "Festellen der Datensatzanzahl im Handyspeicher.")                                           \
    X(Statusleiste_Checksim, "Statusleiste", "Checksim",                                           \
      "Festellen der Datensatzanzahl im Handyspeicher.")                                           \
    X(Statusleiste_Lesen, "Statusleiste", "Lesen", "Daten lesen aus Speicherstelle")               \
    X(Statusleiste_Schreiben, "Statusleiste", "Schreiben", "Schreiben von Datensatz")              \
    X(Statusleiste_Loeschen, "Statusleiste", "Loeschen", "Löschen von Datensatz")                  \
    X(Statusleiste_Ruhezustand, "Statusleiste", "Ruhezustand", "Ruhezustand")                      \
    X(Statusleiste_Zwischenablage, "Statusleiste", "Zwischenablage", "In Zwischenablage:")         \
    X(Datenlesen_keinedaten, "Datenlesen", "keinedaten",                                           \
      "Die Datenverbindung reagiert nicht mehr! Evtl. muss das Handy einmal aus- und wieder "      \
      "eingeschaltet werden.")                                                                     \
    X(Neuereintrag_Frm_NeuerEintrag, "Neuereintrag", "Frm_NeuerEintrag",                           \
      "Neuen Eintrag erstellen")                                                                   \
    X(Neuereintrag_Label_name, "Neuereintrag", "Label_name", "Name")                               \
    X(Neuereintrag_Label_gruppe, "Neuereintrag", "Label_gruppe", "Gruppe")                         \
    X(Neuereintrag_RB_SIM, "Neuereintrag", "RB_SIM", "Auf die Sim-Karte")                          \
    X(Neuereintrag_RB_MEM, "Neuereintrag", "RB_MEM", "In den Handyspeicher")                       \
    X(Neuereintrag_Btn_Erstellen, "Neuereintrag", "Btn_Erstellen", "&Erstellen")                   \
    X(Neuereintrag_Btn_Abbruch, "Neuereintrag", "Btn_Abbruch", "&Abbruch")                         \
    /* The window's caption and about line, the options page's labels and    */                    \
    /* lists, the erase question, the disclaimer and the about box.          */                    \
    X(Hauptfenster_Caption, "Hauptfenster", "Caption",                                             \
      "Vexa Q7 Manager  ** Final Version 1.02 **")                                                 \
    X(Hauptfenster_Label1, "Hauptfenster", "Label1",                                               \
      "Q7 Manager 1.02 \u2013 Telefonbuch für das Vexa TLM-Q7")                                    \
    X(TAB_Optionen_Label_Port, "TAB_Optionen", "Label_Port", "Port")                               \
    X(TAB_Optionen_Label_Baud, "TAB_Optionen", "Label_Baud", "Baud")                               \
    X(TAB_Optionen_Btn_ComTest, "TAB_Optionen", "Btn_ComTest", "&Test")                            \
    X(TAB_Optionen_Fluss_Hardware, "TAB_Optionen", "Fluss_Hardware", "Hardware")                   \
    X(TAB_Optionen_Fluss_Software, "TAB_Optionen", "Fluss_Software", "Software")                   \
    X(TAB_Optionen_Fluss_Keine, "TAB_Optionen", "Fluss_Keine", "Keine")                            \
    X(TAB_Optionen_Fluss_Eigene, "TAB_Optionen", "Fluss_Eigene", "Eigene")                         \
    X(TAB_Optionen_Baud_Eigene, "TAB_Optionen", "Baud_Eigene", "Eigene")                           \
    X(Handyloeschen_Caption, "Handyloeschen", "Caption", "Achtung!")                               \
    X(Handyloeschen_Frage, "Handyloeschen", "Frage",                                               \
      "Sollen die Daten im Handyspeicher und der SIM-Karte wirklich gelöscht werden?")             \
    X(Warnung_Caption, "Warnung", "Caption", "Wichtiger Hinweis !!!")                              \
    X(Warnung_Btn_Akzeptiert, "Warnung", "Btn_Akzeptiert", "&Akzeptiert")                          \
    X(Warnung_Btn_Abgeleht, "Warnung", "Btn_Abgeleht", "Abge&lehnt")                               \
    X(Warnung_Text, "Warnung", "Text",                                                             \
      "Bitte vor der Benutzung lesen!\n"                                                           \
      "\n"                                                                                         \
      "Der Q7 Manager ist ein privat entwickeltes Programm. Er ist kein Produkt der Firma "        \
      "Vexa und wird von ihr weder unterstützt noch geprüft.\n"                                  \
      "\n"                                                                                         \
      "Die Benutzung erfolgt auf eigene Gefahr. Für Schäden am Handy, am Computer oder an "      \
      "anderen Geräten sowie für den Verlust von Daten, insbesondere von Einträgen des "        \
      "Telefonbuchs, wird keinerlei Haftung übernommen. Bitte sichern Sie Ihr Telefonbuch "       \
      "vorher mit \"Daten speichern\" in einer Datei.\n"                                           \
      "\n"                                                                                         \
      "Das Programm ist kostenlos. Wenn es Ihnen nützt, freue ich mich über einen "              \
      "freiwilligen Beitrag zu seiner Weiterentwicklung.\n"                                        \
      "\n"                                                                                         \
      "Hinweise zur Verbindung:\n"                                                                 \
      "- Stellen Sie die Datenrate der seriellen Schnittstelle im Menü des Handys auf "           \
      "\"Automatisch\". Bei einer fest eingestellten Rate findet das Programm das Handy "          \
      "unter Umständen nicht.\n"                                                                  \
      "- Port, Baudrate und Flusskontrolle werden auf der Seite \"Optionen\" eingestellt; "        \
      "mit \"Test\" wird das Handy erneut gesucht.\n"                                              \
      "\n"                                                                                         \
      "Wichtig:\n"                                                                                 \
      "Die beiden zusätzlichen Textzeilen eines Eintrags (Zusatz1 und Zusatz2) können "          \
      "nicht in das Handy geschrieben werden. Sie werden zwar gelesen und angezeigt, gehen "       \
      "aber verloren, sobald das Telefonbuch in das Handy zurückgeschrieben wird.\n"              \
      "\n"                                                                                         \
      "Änderungen:\n"                                                                             \
      "Version 1.02\n"                                                                             \
      "- Einträge werden nur noch geschrieben, wenn sie geändert wurden (abschaltbar).\n"        \
      "- Farben der Telefonbuchanzeige einstellbar.\n"                                             \
      "- Löschbefehle können in der Datei mitgespeichert werden.\n"                              \
      "Version 1.01\n"                                                                             \
      "- Verschieben von Einträgen zwischen Handyspeicher, SIM-Karte und First Nine.\n"           \
      "- Kopieren, Ausschneiden und Einfügen von Nummern.\n"                                      \
      "Version 1.00\n"                                                                             \
      "- Erste Version: Lesen, Bearbeiten und Schreiben des Telefonbuchs, Speichern und "          \
      "Laden als Datei.\n")                                                                        \
    X(Info_Caption, "Info", "Caption", "Über Q7 Manager")                                          \
    X(Info_Version, "Info", "Version", "Version %1")                                               \
    X(Info_Lizenz, "Info", "Lizenz",                                                               \
      "Freie Software unter der GNU General Public License, Version 3 oder (nach Wahl) jeder "     \
      "späteren Version (GPL-3.0-or-later). Das Programm kommt ohne jede Gewährleistung.")         \
    X(Info_Qt, "Info", "Qt", "Erstellt mit Qt %1, läuft mit Qt %2")                                \
    X(Info_Einstellungen, "Info", "Einstellungen", "Einstellungen:")                               \
    X(Info_Sicherungen, "Info", "Sicherungen", "Sicherungen:")                                     \
    X(Info_Sprachdatei, "Info", "Sprachdatei", "Sprachdatei:")                                     \
    X(Info_KeineSprachdatei, "Info", "KeineSprachdatei", "keine, das Programm spricht Deutsch")    \
    X(Info_Oeffnen, "Info", "Oeffnen", "Öffnen")                                                   \
    X(Info_Schliessen, "Info", "Schliessen", "&Schließen")                                         \
    X(Statusleiste_Verbindungpruefen, "Statusleiste", "Verbindungpruefen",                         \
      "Verbindung war unterbrochen: Vexa TLM-Q7 wird erneut geprüft...")                           \
    X(Statusleiste_Verbindungwieder, "Statusleiste", "Verbindungwieder",                           \
      "Verbindung zum Vexa TLM-Q7 wiederhergestellt.")                                             \
    X(Statusleiste_EinEintrag, "Statusleiste", "EinEintrag", "1 Eintrag")                          \
    X(Statusleiste_Eintraege, "Statusleiste", "Eintraege", "%1 Einträge")                          \
    X(Statusleiste_Gespeichert, "Statusleiste", "Gespeichert", "%1 in %2 gespeichert")             \
    X(Statusleiste_Geladen, "Statusleiste", "Geladen", "%1 aus %2 geladen")                        \
    X(Statusleiste_Geschrieben, "Statusleiste", "Geschrieben", "%1 geschrieben")                   \
    X(Statusleiste_Entfernt, "Statusleiste", "Entfernt", "%1 auf dem Handy gelöscht")              \
    X(Statusleiste_Handygeloescht, "Statusleiste", "Handygeloescht", "Handy gelöscht: %1")         \
    X(Statusleiste_Nichtszuschreiben, "Statusleiste", "Nichtszuschreiben",                         \
      "Nichts zu schreiben: kein Eintrag musste geschrieben werden.")                              \
    X(Statusleiste_Bestand, "Statusleiste", "Bestand", "%1, %2 geändert")                          \
    X(Schreiben_KeinPlatz, "Schreiben", "KeinPlatz",                                               \
      "%1: kein freier Speicherplatz im Handyspeicher")                                            \
    X(Schreiben_NichtGeschrieben, "Schreiben", "NichtGeschrieben",                                 \
      "Nicht geschrieben, kein freier Speicherplatz im Handyspeicher: %1")                         \
    X(Schreiben_Abweichung, "Schreiben", "Abweichung",                                             \
      "Nach dem Schreiben geprüft: %1 (Speicherplatz %2) hält das Handy anders: %3")               \
    X(Schreiben_Fehlt, "Schreiben", "Fehlt",                                                       \
      "Nach dem Schreiben geprüft: %1 (Speicherplatz %2) fehlt im Handy")                          \
    X(Schreiben_Angehalten, "Schreiben", "Angehalten",                                             \
      "Angehalten nach %1 von %2; die übrigen wurden nicht bearbeitet")                            \
    X(Schreiben_Anhalten, "Schreiben", "Anhalten", "Anhalten")                                     \
    X(Schreiben_Pruefen, "Schreiben", "Pruefen", "Nach dem Schreiben prüfen")                      \
    /* A write that found an entry the window did not know where it was to */                      \
    /* write: the entry stays, the window's goes to a free location. */                            \
    X(Schreiben_Verschoben, "Schreiben", "Verschoben",                                             \
      "%1 steht jetzt auf Speicherplatz %2, denn Speicherplatz %3 hält den Eintrag „%4“, "    \
      "den das Fenster nicht kannte")                                                              \
    X(Schreiben_KeinSimPlatz, "Schreiben", "KeinSimPlatz",                                         \
      "Nicht geschrieben, kein freier Platz auf der SIM-Karte: %1")                                \
    /* The end of an erase run, and the locations a write or erase failed on. */                   \
    X(Statusleiste_Loeschenfertig, "Statusleiste", "Loeschenfertig", "Löschen abgeschlossen.")     \
    X(Schreiben_NichtUebertragenEiner, "Schreiben", "NichtUebertragenEiner",                       \
      "%1 Datensatz wurde nicht übertragen: %2")                                                   \
    X(Schreiben_NichtUebertragen, "Schreiben", "NichtUebertragen",                                 \
      "%1 Datensätze wurden nicht übertragen: %2")                                                 \
    X(Schreiben_NichtGeloeschtEiner, "Schreiben", "NichtGeloeschtEiner",                           \
      "%1 Speicherplatz wurde nicht gelöscht: %2")                                                 \
    X(Schreiben_NichtGeloescht, "Schreiben", "NichtGeloescht",                                     \
      "%1 Speicherplätze wurden nicht gelöscht: %2")                                               \
    X(Plan_Caption, "Plan", "Caption", "Was das Schreiben im Handy ändert")                        \
    X(Plan_Summe, "Plan", "Summe", "%1 neu, %2 geändert, %3 gelöscht, %4 unverändert")             \
    X(Plan_Neu, "Plan", "Neu", "neu")                                                              \
    X(Plan_Geaendert, "Plan", "Geaendert", "geändert")                                             \
    X(Plan_NeuGeschrieben, "Plan", "NeuGeschrieben", "wird neu geschrieben")                       \
    X(Plan_Geloescht, "Plan", "Geloescht", "gelöscht")                                             \
    X(Plan_Unveraendert, "Plan", "Unveraendert", "unverändert")                                    \
    X(Plan_Nichts, "Plan", "Nichts",                                                               \
      "Nichts zu schreiben: das Handy hält schon, was das Fenster zeigt.")                         \
    X(Plan_NieGelesen, "Plan", "NieGelesen",                                                       \
      "Das Handy wurde seit dem Start nicht gelesen: was es hält, ist unbekannt. Jeder Eintrag "  \
      "des Fensters wird geschrieben; Einträge, die das Fenster nicht kennt, bleiben auf dem "    \
      "Handy.")                                                                                    \
    X(Plan_Schreiben, "Plan", "Schreiben", "&Schreiben")                                           \
    X(Plan_ZuerstLesen, "Plan", "ZuerstLesen", "Zuerst &lesen (empfohlen)")                        \
    X(Plan_OhneLesen, "Plan", "OhneLesen", "&Ohne Lesen schreiben")                                \
    X(Plan_Feld, "Plan", "Feld", "Feld %1")                                                        \
    X(Plan_Nummer, "Plan", "Nummer", "Nummer %1")                                                  \
    X(Plan_Nummernart, "Plan", "Nummernart", "Nummernart %1")                                      \
    X(Plan_Name, "Plan", "Name", "Name")                                                           \
    X(Plan_Gruppe, "Plan", "Gruppe", "Gruppe")                                                     \
    X(Schreibplan_DateiLoescht, "Schreibplan", "DateiLoescht",                                     \
      "Einträge, die die Datei nicht enthält, werden gelöscht")                                    \
    X(Schreibplan_SicherungLoescht, "Schreibplan", "SicherungLoescht",                             \
      "Einträge, die die Sicherung nicht enthält, werden gelöscht")                                \
    X(Schreibplan_Behalten, "Schreibplan", "Behalten", "Diese Einträge auf dem Handy &behalten")   \
    X(Schreibplan_Verlegt, "Schreibplan", "Verlegt",                                               \
      "neu; Speicherplatz %1 hält auf dem Handy schon %2")                                         \
    X(Schreibplan_Leer, "Schreibplan", "Leer", "(leer)")                                           \
    X(Schreibplan_VomHandy, "Schreibplan", "VomHandy", "Einträge vom Handy")                       \
    X(Schreibplan_NurImFenster, "Schreibplan", "NurImFenster",                                     \
      "Das Handy hat diese Zusatzzeile nicht übernommen: sie steht nur im Fenster.")               \
    X(Schreibplan_ZusatzFrage, "Schreibplan", "ZusatzFrage",                                       \
      "%1 hält das Handy ohne ihre Zusatzzeilen (%2): die Zeilen stehen nur im Fenster und "      \
      "gehen beim Beenden verloren. Vorher in einer Datei speichern?")                             \
    X(Sicherungen_Caption, "Sicherungen", "Caption", "Sicherungen")                                \
    X(Sicherungen_Laden, "Sicherungen", "Laden", "&Laden")                                         \
    X(Sicherungen_GrundLesen, "Sicherungen", "GrundLesen", "gelesen")                              \
    X(Sicherungen_GrundSchreiben, "Sicherungen", "GrundSchreiben", "vor dem Schreiben")            \
    X(Sicherungen_GrundLoeschen, "Sicherungen", "GrundLoeschen", "vor dem Löschen")                \
    X(Sicherungen_Keine, "Sicherungen", "Keine", "Es gibt noch keine Sicherung.")                  \
    X(Kartenkopien_EineKarte, "Kartenkopien", "EineKarte", "1 Karte")                              \
    X(Kartenkopien_Karten, "Kartenkopien", "Karten", "%1 Karten")                                  \
    X(Kartenkopien_Grund, "Kartenkopien", "Grund", "vor dem Abgleich mit %1")                      \
    X(Kartenkopien_Unbekannt, "Kartenkopien", "Unbekannt",                                         \
      "einem Adressbuch, das die Kopie nicht nennt")                                               \
    X(Kartenkopien_Zuruecklegen, "Kartenkopien", "Zuruecklegen", "Karten &zurücklegen…")           \
    X(Kartenkopien_FrageCaption, "Kartenkopien", "FrageCaption", "Karten zurücklegen")             \
    X(Kartenkopien_Frage, "Kartenkopien", "Frage", "Die Karten so zurücklegen?")                   \
    X(Kartenkopien_Neu, "Kartenkopien", "Neu", "kommt wieder: %1")                                 \
    X(Kartenkopien_Ersetzt, "Kartenkopien", "Ersetzt", "wird zurückgesetzt: %1")                   \
    X(Kartenkopien_Gleich, "Kartenkopien", "Gleich", "ist schon so: %1")                           \
    X(Kartenkopien_Nichts, "Kartenkopien", "Nichts",                                               \
      "Jede Karte ist schon so, wie die Kopie sie hält.")                                          \
    X(Kartenkopien_Fertig, "Kartenkopien", "Fertig", "%1 zurückgelegt in %2.")                     \
    X(Kartenkopien_SeitdemGeaendert, "Kartenkopien", "SeitdemGeaendert",                           \
      "Seit der Planung anderswo geändert, nicht zurückgelegt: %1")                                \
    X(Kartenkopien_Angehalten, "Kartenkopien", "Angehalten",                                       \
      "Angehalten: die übrigen Karten sind nicht zurückgelegt.")                                   \
    X(Kartenkopien_Hinweis, "Kartenkopien", "Hinweis",                                             \
      "Der nächste Abgleich bringt sie ins Handy.")                                                \
    X(Kartenkopien_KeinAdressbuch, "Kartenkopien", "KeinAdressbuch",                               \
      "Die Kopie nennt ihr Adressbuch nicht; q7ctl restore --snapshot %1 --addressbook "           \
      "ORDNER|URL legt sie dorthin zurück.")                                                       \
    X(TAB_Telefonbuch_FrageHandyAnders, "TAB_Telefonbuch", "FrageHandyAnders",                     \
      "%1 hält das Handy nicht oder anders, als das Fenster sie zeigt. Trotzdem fortfahren?")      \
    X(Fehler_Verbindungunterbrochen, "Fehler", "Verbindungunterbrochen",                           \
      "Die Verbindung zum Handy ist unterbrochen. Bitte Kabel und Handy prüfen und den Vorgang "  \
      "wiederholen.")                                                                              \
    X(Fehler_Keinzugriff, "Fehler", "Keinzugriff",                                                 \
      "Keine Berechtigung für den Anschluss %1. Der Benutzer muss zur Gruppe \"dialout\" "        \
      "gehören: im Terminal \"sudo usermod -aG dialout $USER\" eingeben, sich ab- und wieder "    \
      "anmelden und den Vorgang wiederholen.")                                                     \
    X(Fehler_Belegt, "Fehler", "Belegt",                                                           \
      "Der Anschluss %1 wird von einem anderen Programm benutzt. Bitte das andere Programm "       \
      "beenden und den Vorgang wiederholen.")                                                      \
    X(Fehler_Nichtvorhanden, "Fehler", "Nichtvorhanden",                                           \
      "Der Anschluss %1 ist nicht vorhanden. Bitte Kabel oder USB-Adapter einstecken oder "        \
      "unter \"Optionen\" einen anderen Port wählen.")                                             \
    X(Fehler_Keingeraet, "Fehler", "Keingeraet",                                                   \
      "Dem Anschluss %1 ist kein Gerät zugeordnet. Bitte Kabel oder USB-Adapter einstecken oder " \
      "unter \"Optionen\" einen anderen Port wählen.")                                             \
    X(Fehler_Oeffnen, "Fehler", "Oeffnen",                                                         \
      "Der Anschluss %1 lässt sich nicht öffnen. Bitte Kabel und Handy prüfen und den "         \
      "Vorgang wiederholen.")                                                                      \
    X(Fehler_Einstellungen, "Fehler", "Einstellungen",                                             \
      "Der Anschluss %1 nimmt die Einstellungen nicht an. Bitte Baud und Fluss Kontrolle "         \
      "unter \"Optionen\" prüfen.")                                                                \
    X(Fehler_Handyantwortetnicht, "Fehler", "Handyantwortetnicht",                                 \
      "Das Handy antwortet nicht. Bitte Kabel prüfen, das Handy einschalten und den Vorgang "     \
      "wiederholen.")                                                                              \
    X(Anschluss_KeinRecht, "Fehler", "KeinRecht",                                                  \
      "Keine Berechtigung für den Anschluss %1: das Gerät %2 gehört der Gruppe \"%3\" und hat " \
      "die Rechte %4.")                                                                            \
    X(Anschluss_NichtInGruppe, "Fehler", "NichtInGruppe",                                          \
      "Der Benutzer %1 ist nicht in der Gruppe \"%2\". Im Terminal \"sudo usermod -aG %2 %1\" "    \
      "eingeben; das wirkt erst ab der nächsten Anmeldung: ab- und wieder anmelden und den "      \
      "Vorgang wiederholen.")                                                                      \
    X(Anschluss_GruppeNachAnmeldung, "Fehler", "GruppeNachAnmeldung",                              \
      "Der Benutzer %1 ist schon in der Gruppe \"%2\" eingetragen, aber das wirkt erst ab der "    \
      "nächsten Anmeldung: ab- und wieder anmelden und den Vorgang wiederholen.")                  \
    X(Anschluss_GruppeOhneRecht, "Fehler", "GruppeOhneRecht",                                      \
      "Die Gruppe \"%1\" darf das Gerät nicht lesen und schreiben, nur sein Besitzer; \"sudo "    \
      "chmod g+rw %2\" gibt es ihr frei.")                                                         \
    X(Anschluss_Belegt, "Fehler", "AnschlussBelegt", "Der Anschluss %1 ist belegt.")               \
    X(Anschluss_BelegtVon, "Fehler", "BelegtVon",                                                  \
      "Das Programm \"%1\" (Prozess %2) hält %3 offen: bitte dieses Programm beenden und den "    \
      "Vorgang wiederholen.")                                                                      \
    X(Anschluss_BelegtUnsichtbar, "Fehler", "BelegtUnsichtbar",                                    \
      "Welches Programm das Gerät hält, zeigt das System nicht (es läuft unter einem anderen "  \
      "Benutzer): bitte andere Programme am Anschluss beenden und den Vorgang wiederholen.")       \
    X(Anschluss_Sperrdatei, "Fehler", "Sperrdatei",                                                \
      "Die Sperrdatei %1 gehört dem Programm \"%2\" (Prozess %3).")                                \
    X(Anschluss_SperrdateiVerwaist, "Fehler", "SperrdateiVerwaist",                                \
      "Die Sperrdatei %1 stammt von Prozess %2, der nicht mehr läuft; \"sudo rm %1\" entfernt "   \
      "sie.")                                                                                      \
    X(Anschluss_ModemManager, "Fehler", "ModemManager",                                            \
      "Der ModemManager läuft und prüft neue serielle Geräte; \"sudo systemctl stop "           \
      "ModemManager\" hält ihn an.")                                                               \
    X(Anschluss_ModemManagerRegel, "Fehler", "ModemManagerRegel",                                  \
      "Der ModemManager läuft und prüft neue serielle Geräte. Damit er diesen Adapter in Ruhe " \
      "lässt, die Zeile %1 in die Datei /etc/udev/rules.d/99-q7manager.rules schreiben, \"sudo "  \
      "udevadm control --reload\" eingeben und den Adapter neu einstecken.")                       \
    X(Anschluss_BrlttyLaeuft, "Fehler", "BrlttyLaeuft",                                            \
      "Das Braille-Programm brltty läuft; es übernimmt USB-Seriell-Adapter (CH340, CP210x) "     \
      "gleich beim Einstecken.")                                                                   \
    X(Anschluss_BrlttyUebernommen, "Fehler", "BrlttyUebernommen",                                  \
      "Laut Kernel-Protokoll hat das Braille-Programm brltty den USB-Seriell-Adapter übernommen.") \
    X(Anschluss_BrlttyEntfernen, "Fehler", "BrlttyEntfernen",                                      \
      "Wer keine Braillezeile benutzt, entfernt es mit \"sudo apt remove brltty\", sonst "         \
      "schaltet \"sudo systemctl mask brltty-udev.service\" es für Adapter ab; danach den "       \
      "Adapter neu einstecken.")                                                                   \
    X(Anschluss_Weg, "Fehler", "Weg",                                                              \
      "Der Anschluss %1 ist nicht mehr da (ausgesteckt?). Bitte Kabel oder USB-Adapter "           \
      "einstecken oder unter \"Optionen\" einen anderen Port wählen.")                             \
    X(Anschluss_JetztDa, "Fehler", "JetztDa", "Jetzt ist %1 da (%2).")                             \
    X(Anschluss_Festlegen, "Fehler", "Festlegen",                                                  \
      "Damit der Port nach dem Einstecken seinen Namen behält, ihn in %1 unter [Ports] "          \
      "festlegen: %2=%3")                                                                          \
    X(Fehler_LaeuftSchon, "Fehler", "LaeuftSchon",                                                 \
      "Q7 Manager läuft schon. Sein Fenster wird nach vorn geholt.")                               \
    /* File, number and cancel failures, and q7ctl's messages and usage      */                    \
    /* problems.                                                             */                    \
    X(Fehler_DateiNichtGefunden, "Fehler", "DateiNichtGefunden", "Datei nicht gefunden")           \
    X(Fehler_UngueltigerDateiname, "Fehler", "UngueltigerDateiname", "Ungültiger Dateiname")       \
    X(Fehler_ZuVieleDateien, "Fehler", "ZuVieleDateien", "Zu viele geöffnete Dateien")             \
    X(Fehler_Dateizugriff, "Fehler", "Dateizugriff", "Dateizugriff verweigert")                    \
    X(Fehler_HinterDateiende, "Fehler", "HinterDateiende",                                         \
      "Versuch hinter dem Dateiende zu lesen")                                                     \
    X(Fehler_DatentraegerVoll, "Fehler", "DatentraegerVoll", "Zu wenig Speicherplatz")             \
    X(Fehler_EAFehler, "Fehler", "EAFehler", "E/A-Fehler %1")                                      \
    X(Fehler_KeinInteger, "Fehler", "KeinInteger", "'%1' ist kein gültiger Integerwert")           \
    X(Fehler_Zeile, "Fehler", "Zeile", "(Zeile %1)")                                               \
    X(Fehler_SpeicherplatzBereich, "Fehler", "SpeicherplatzBereich",                               \
      "Speicherplatz %1 liegt nicht zwischen 1 und %2 (Zeile %3)")                                 \
    X(Fehler_Abgebrochen, "Fehler", "Abgebrochen", "Abgebrochen")                                  \
    X(Fehler_Wiederholen, "Fehler", "Wiederholen", "Wiederholen? [j/N]")                           \
    X(Fehler_KeinEintrag, "Fehler", "KeinEintrag",                                                 \
      "Die Datei enthält keinen Eintrag; nichts wurde übertragen.")                                \
    X(Fehler_KeineSicherung, "Fehler", "KeineSicherung",                                           \
      "Keine Sicherung %1; q7ctl snapshots zeigt sie.")                                            \
    X(Fehler_SchonTelefonbuch, "Fehler", "SchonTelefonbuch",                                       \
      "%1 ist schon eine Telefonbuchdatei; convert macht daraus eine .vcf- oder .pdf-Datei")       \
    X(Fehler_AufrufKeinBefehl, "Fehler", "AufrufKeinBefehl", "kein Befehl angegeben")              \
    X(Fehler_AufrufUnbekannt, "Fehler", "AufrufUnbekannt", "unbekannter Befehl '%1'")              \
    X(Fehler_AufrufPortUndDevice, "Fehler", "AufrufPortUndDevice",                                 \
      "--port und --device schließen einander aus")                                                \
    X(Fehler_AufrufBaud, "Fehler", "AufrufBaud", "--baud braucht eine positive Zahl")              \
    X(Fehler_AufrufZuViele, "Fehler", "AufrufZuViele", "zu viele Argumente")                       \
    X(Fehler_AufrufEineDatei, "Fehler", "AufrufEineDatei", "einen Dateinamen angeben")             \
    X(Fehler_AufrufZweiDateien, "Fehler", "AufrufZweiDateien",                                     \
      "eine Eingabe- und eine Ausgabedatei angeben")                                               \
    X(Fehler_AufrufConvert, "Fehler", "AufrufConvert",                                             \
      "convert macht aus einer .csv-Datei eine .vcf-Datei, aus einer .vcf-Datei eine .csv-Datei "  \
      "oder aus der Kontakte-.csv eines anderen Programms eine Telefonbuch-.csv-Datei; aus jeder " \
      "davon auch eine Telefonliste als .pdf-Datei")                                               \
    X(Fehler_AufrufDreiDateien, "Fehler", "AufrufDreiDateien",                                     \
      "die Telefonbuchdatei, die Kontakte und die Ausgabedatei angeben")                           \
    X(Fehler_AufrufMergeCsv, "Fehler", "AufrufMergeCsv",                                           \
      "die Telefonbuchdatei und die Ausgabedatei sind .csv-Dateien")                               \
    X(Fehler_AufrufRestoreVcard, "Fehler", "AufrufRestoreVcard",                                   \
      "restore nimmt eine CSV-Telefonbuchdatei; die vCard zuerst umwandeln: q7ctl convert %1 "     \
      "FILE.csv")                                                                                  \
    X(Fehler_AufrufEraseYes, "Fehler", "AufrufEraseYes",                                           \
      "erase löscht jeden Eintrag im Handy: mit --yes bestätigen")                                 \
    X(Fehler_AufrufDateiOderSnapshot, "Fehler", "AufrufDateiOderSnapshot",                         \
      "eine Datei oder --snapshot angeben, nicht beides")                                          \
    X(Fehler_AufrufSnapshot, "Fehler", "AufrufSnapshot",                                           \
      "--snapshot nimmt latest, eine Nummer oder eine Kartenkopie (c1, c2…), wie q7ctl "         \
      "snapshots sie zeigt")                                                                       \
    X(Befehlszeile_Beschreibung, "Befehlszeile", "Beschreibung",                                   \
      "Liest, sichert und schreibt das Telefonbuch eines Vexa TLM-Q7 zurück.")                     \
    X(Befehlszeile_Befehle, "Befehlszeile", "Befehle", "Befehle:")                                 \
    X(Befehlszeile_Befehl, "Befehlszeile", "Befehl", "Was zu tun ist.")                            \
    X(Befehlszeile_Detect, "Befehlszeile", "Detect", "nach dem Handy suchen")                      \
    X(Befehlszeile_Doctor, "Befehlszeile", "Doctor",                                               \
      "die seriellen Anschlüsse auflisten und was jedem im Weg steht, dann auf jedem nach dem "   \
      "Handy suchen")                                                                              \
    X(Befehlszeile_List, "Befehlszeile", "List",                                                   \
      "das ganze Telefonbuch lesen, eine Zeile je Eintrag")                                        \
    X(Befehlszeile_Backup, "Befehlszeile", "Backup",                                               \
      "das ganze Telefonbuch lesen und als CSV-Datei sichern; endet der Name auf .vcf, als "       \
      "vCard, auf .pdf, als Telefonliste zum Drucken")                                             \
    X(Befehlszeile_Restore, "Befehlszeile", "Restore",                                             \
      "die Einträge einer CSV-Datei ins Handy schreiben (--replace löscht das Handy zuerst); "   \
      "--snapshot latest|N setzt das Handy zurück, wie eine Sicherung es hält; --snapshot cN "   \
      "legt "                                                                                      \
      "die Karten einer Kartenkopie in ihr Adressbuch zurück; --dry-run zeigt nur, was restore "  \
      "täte")                                                                                      \
    X(Befehlszeile_Snapshots, "Befehlszeile", "Snapshots",                                         \
      "die Sicherungen des Handys und die Kopien der Karten, die ein Abgleich änderte oder "      \
      "löschte, auflisten, die neueste zuerst")                                                    \
    X(Befehlszeile_Erase, "Befehlszeile", "Erase", "jeden Eintrag im Handy löschen")               \
    X(Befehlszeile_Convert, "Befehlszeile", "Convert",                                             \
      "eine CSV-Datei in eine vCard verwandeln oder eine vCard in eine CSV-Datei, ohne Handy "     \
      "(--sim legt die Karten auf die SIM-Karte, sonst in den Handyspeicher); IN darf auch die "   \
      "Kontakte-CSV-Datei eines anderen Programms sein; OUT.pdf macht die Telefonliste zum "       \
      "Drucken als PDF-Datei")                                                                     \
    X(Befehlszeile_Merge, "Befehlszeile", "Merge",                                                 \
      "die Kontakte aus IN (vCard oder Kontakte-CSV) ohne Doppelte zur Telefonbuchdatei BASE "     \
      "hinzufügen, nach OUT")                                                                      \
    X(Befehlszeile_Duplicates, "Befehlszeile", "Duplicates",                                       \
      "die Einträge auflisten, die eine Nummer oder einen Namen teilen")                           \
    X(Befehlszeile_Sync, "Befehlszeile", "Sync",                                                   \
      "das Handy mit einem Ordner mit vCards oder einem CardDAV-Adressbuch abgleichen: den Plan "  \
      "zeigen, ausführen, die Summe zeigen; Rückgabewert 3, wenn Konflikte bleiben")               \
    X(Befehlszeile_OptionPort, "Befehlszeile", "OptionPort", "Serieller Anschluss COM1..COM96.")   \
    X(Befehlszeile_OptionDevice, "Befehlszeile", "OptionDevice",                                   \
      "Gerätepfad, z. B. /dev/ttyUSB0.")                                                           \
    X(Befehlszeile_OptionBaud, "Befehlszeile", "OptionBaud", "Übertragungsrate.")                  \
    X(Befehlszeile_OptionYes, "Befehlszeile", "OptionYes",                                         \
      "erase: das Löschen des Handys bestätigen.")                                                 \
    X(Befehlszeile_OptionReplace, "Befehlszeile", "OptionReplace",                                 \
      "restore: das Handy zuerst löschen.")                                                        \
    X(Befehlszeile_OptionSim, "Befehlszeile", "OptionSim",                                         \
      "convert, merge: neue Einträge auf die SIM-Karte legen.")                                    \
    X(Befehlszeile_OptionDryRun, "Befehlszeile", "OptionDryRun",                                   \
      "restore: das Handy lesen und den Plan zeigen; nichts ändern.")                              \
    X(Befehlszeile_OptionSnapshot, "Befehlszeile", "OptionSnapshot",                               \
      "restore: diese Sicherung zurückschreiben (latest oder ihre Nummer in snapshots, cN für "  \
      "eine Kartenkopie).")                                                                        \
    X(Befehlszeile_OptionNoSnapshot, "Befehlszeile", "OptionNoSnapshot",                           \
      "restore, erase: vorher keine Sicherung des Handys anlegen.")                                \
    X(Befehlszeile_OptionNoVerify, "Befehlszeile", "OptionNoVerify",                               \
      "restore: das Geschriebene nicht zurücklesen.")                                              \
    X(Befehlszeile_OptionAddressbook, "Befehlszeile", "OptionAddressbook",                         \
      "sync: das Adressbuch, ein Ordner mit vCards oder ein CardDAV-Server oder -Adressbuch "      \
      "(eine http://- oder https://-Adresse); restore --snapshot cN: wohin die Karten "            \
      "zurückgehen.")                                                                              \
    X(Befehlszeile_OptionCategory, "Befehlszeile", "OptionCategory",                               \
      "sync: nur die Karten dieser Kategorie; neue Karten bekommen sie.")                          \
    X(Befehlszeile_OptionPrefer, "Befehlszeile", "OptionPrefer",                                   \
      "sync: Konflikte zugunsten dieser Seite lösen (handset oder addressbook).")                  \
    X(Befehlszeile_OptionAllowDeletions, "Befehlszeile", "OptionAllowDeletions",                   \
      "sync: auch mehr als 10 oder ein Viertel einer Seite löschen.")                              \
    X(Befehlszeile_OptionUser, "Befehlszeile", "OptionUser",                                       \
      "sync, restore: der Benutzername auf dem CardDAV-Server.")                                   \
    X(Befehlszeile_OptionPasswordFile, "Befehlszeile", "OptionPasswordFile",                       \
      "sync, restore: die Datei, deren erste Zeile das Passwort des Servers ist (sonst die "       \
      "Umgebungsvariable Q7_PASSWORD).")                                                           \
    X(Befehlszeile_OptionAllowHttp, "Befehlszeile", "OptionAllowHttp",                             \
      "sync, restore: unverschlüsselt (http://) mit einem Server auf einem anderen Rechner "      \
      "sprechen.")                                                                                 \
    X(Diagnose_Geraet, "Diagnose", "Geraet", "%1: %2, Gruppe \"%3\", Rechte %4")                   \
    X(Diagnose_AuchAls, "Diagnose", "AuchAls", "auch %1")                                          \
    X(Diagnose_Darf, "Diagnose", "Darf", "darf geöffnet werden.")                                  \
    X(Diagnose_DarfNicht, "Diagnose", "DarfNicht", "darf nicht geöffnet werden.")                  \
    X(Diagnose_KeineGeraete, "Diagnose", "KeineGeraete",                                           \
      "Das System meldet keine seriellen Geräte: bitte Kabel oder USB-Adapter einstecken.")        \
    X(Diagnose_ModemManagerAus, "Diagnose", "ModemManagerAus", "ModemManager läuft nicht.")        \
    X(Diagnose_BrlttyAus, "Diagnose", "BrlttyAus", "brltty läuft nicht.")                          \
    X(Diagnose_Gefunden, "Diagnose", "Gefunden", "%1: der Vexa TLM-Q7 antwortet.")                 \
    X(Diagnose_KeineAntwort, "Diagnose", "KeineAntwort",                                           \
      "%1: kein Vexa TLM-Q7 antwortet. Bitte das Handy einschalten, das Kabel prüfen und den "    \
      "Vorgang wiederholen.")                                                                      \
    X(Handysuche_Hinweis, "Handysuche", "Hinweis",                                                 \
      "Kein Vexa TLM-Q7 gefunden. Bitte das Handy einschalten, das Kabel prüfen oder den Port "   \
      "wählen.")                                                                                   \
    X(Handysuche_Optionen, "Handysuche", "Optionen", "Port wählen...")                             \
    X(Handysuche_Befunde, "Handysuche", "Befunde", "Das zeigt das System:")                        \
    X(Handysuche_NichtGeoeffnet, "Handysuche", "NichtGeoeffnet",                                   \
      "%1 ließ sich nicht öffnen; die Meldung sagt, warum.")                                       \
    X(Handysuche_KeinRecht, "Handysuche", "KeinRecht",                                             \
      "Keine Berechtigung für %1; die Meldung sagt, was zu tun ist.")                              \
    X(Handysuche_Belegt, "Handysuche", "Belegt",                                                   \
      "%1 wird von einem anderen Programm benutzt. Bitte das Programm beenden oder den Port "      \
      "wählen.")                                                                                   \
    X(Handysuche_Fehlt, "Handysuche", "Fehlt",                                                     \
      "%1 ist nicht vorhanden. Bitte Kabel oder USB-Adapter einstecken oder den Port wählen.")     \
    X(TAB_Optionen_Seriennummer, "TAB_Optionen", "Seriennummer", "Seriennummer %1")                \
    X(TAB_Optionen_Lbl_Geraet, "TAB_Optionen", "Lbl_Geraet", "Gerät: %1")                          \
    X(TAB_Optionen_KeinGeraet, "TAB_Optionen", "KeinGeraet",                                       \
      "Diesem Port ist kein Gerät zugeordnet.")                                                    \
    X(Fehler_AufrufAdressbuch, "Fehler", "AufrufAdressbuch", "sync braucht --addressbook ORDNER")  \
    X(Fehler_AufrufPrefer, "Fehler", "AufrufPrefer", "--prefer nimmt handset oder addressbook")    \
    X(Abgleich_Btn, "Abgleich", "Btn_Abgleichen", "Ab&gleichen…")                                  \
    X(Abgleich_Caption, "Abgleich", "Caption", "Mit einem Adressbuch abgleichen")                  \
    X(Abgleich_Ordner, "Abgleich", "Ordner", "&Ordner mit vCards, eine Datei je Kontakt:")         \
    X(Abgleich_Waehlen, "Abgleich", "Waehlen", "&Wählen…")                                         \
    X(Abgleich_Weiter, "Abgleich", "Weiter", "&Weiter")                                            \
    X(Abgleich_PlanCaption, "Abgleich", "PlanCaption", "Was der Abgleich ändert")                  \
    X(Abgleich_Konflikte, "Abgleich", "Konflikte", "&Konflikte: welcher Wert soll gelten?")        \
    X(Abgleich_Feld, "Abgleich", "Feld", "Feld")                                                   \
    X(Abgleich_Gilt, "Abgleich", "Gilt", "Es gilt")                                                \
    X(Abgleich_Offen, "Abgleich", "Offen", "offen lassen (jede Seite behält ihren)")               \
    X(Abgleich_HandyGilt, "Abgleich", "HandyGilt", "Handy: %1")                                    \
    X(Abgleich_AdressbuchGilt, "Abgleich", "AdressbuchGilt", "Adressbuch: %1")                     \
    X(Abgleich_TrotzdemLoeschen, "Abgleich", "TrotzdemLoeschen", "&Trotzdem löschen")              \
    X(Abgleich_Start, "Abgleich", "Start", "&Abgleichen")                                          \
    X(Abgleich_Zustand, "Abgleich", "Zustand",                                                     \
      "Der Stand des Abgleichs in %1 lässt sich nicht lesen oder schreiben: %2")                   \
    X(Abgleich_Loeschschutz, "Abgleich", "Loeschschutz",                                           \
      "Der Abgleich würde im Handy %1 von %2 Einträgen und im Adressbuch %3 von %4 Karten "      \
      "löschen, mehr als 10 oder mehr als ein Viertel einer Seite. Ist der Ordner leer oder der " \
      "Stand verloren? Es wurde nichts geändert.")                                                 \
    X(Abgleich_LoeschenErlauben, "Abgleich", "LoeschenErlauben",                                   \
      "Mit --allow-deletions wird trotzdem abgeglichen.")                                          \
    X(Abgleich_Handy, "Abgleich", "Handy", "Handy:")                                               \
    X(Abgleich_Adressbuch, "Abgleich", "Adressbuch", "Adressbuch %1:")                             \
    X(Abgleich_Neu, "Abgleich", "Neu", "neu")                                                      \
    X(Abgleich_Geaendert, "Abgleich", "Geaendert", "geändert")                                     \
    X(Abgleich_Geloescht, "Abgleich", "Geloescht", "gelöscht")                                     \
    X(Abgleich_Summe, "Abgleich", "Summe", "%1 neu, %2 geändert, %3 gelöscht")                     \
    X(Abgleich_Konflikt, "Abgleich", "Konflikt",                                                   \
      "Konflikt bei %1, %2: im Handy „%3“, im Adressbuch „%4“")                                    \
    X(Abgleich_ZurueckHandy, "Abgleich", "ZurueckHandy",                                           \
      "%1 kommt ins Handy zurück: dort gelöscht, im Adressbuch geändert.")                         \
    X(Abgleich_ZurueckAdressbuch, "Abgleich", "ZurueckAdressbuch",                                 \
      "%1 kommt ins Adressbuch zurück: dort gelöscht, im Handy geändert.")                         \
    X(Abgleich_KeinPlatz, "Abgleich", "KeinPlatz", "Kein Platz im Handy für: %1")                  \
    X(Abgleich_Gleichstand, "Abgleich", "Gleichstand",                                             \
      "Handy und Adressbuch sind im Gleichstand.")                                                 \
    X(Abgleich_Fertig, "Abgleich", "Fertig", "Abgeglichen. Handy: %1. Adressbuch: %2.")            \
    X(Abgleich_KonflikteOffen, "Abgleich", "KonflikteOffen",                                       \
      "%1 Konflikte offen, dort behält jede Seite ihren Wert.")                                    \
    X(Abgleich_Angehalten, "Abgleich", "Angehalten",                                               \
      "Angehalten: der nächste Abgleich macht den Rest.")                                          \
    X(Abgleich_Lesen, "Abgleich", "Lesen", "Adressbuch lesen...")                                  \
    X(Abgleich_Schreiben, "Abgleich", "Schreiben", "Adressbuch schreiben...")                      \
    X(Abgleich_SeitdemGeaendert, "Abgleich", "SeitdemGeaendert",                                   \
      "Seit dem Lesen anderswo geändert, der nächste Abgleich nimmt sie: %1")                      \
    X(AbgleichServer_ArtOrdner, "AbgleichServer", "ArtOrdner", "Ein &Ordner mit vCards")           \
    X(AbgleichServer_ArtServer, "AbgleichServer", "ArtServer", "Ein CardDAV-&Server")              \
    X(AbgleichServer_Adresse, "AbgleichServer", "Adresse", "&Adresse:")                            \
    X(AbgleichServer_Benutzer, "AbgleichServer", "Benutzer", "&Benutzer:")                         \
    X(AbgleichServer_Passwort, "AbgleichServer", "Passwort", "&Passwort:")                         \
    X(AbgleichServer_Merken, "AbgleichServer", "Merken", "Im Schlüsselbund &merken")               \
    X(AbgleichServer_Testen, "AbgleichServer", "Testen", "&Verbindung testen")                     \
    X(AbgleichServer_Gefunden, "AbgleichServer", "Gefunden", "Gefundene A&dressbücher:")           \
    X(AbgleichServer_Teste, "AbgleichServer", "Teste", "Verbindung wird getestet…")                \
    X(AbgleichServer_Ergebnis, "AbgleichServer", "Ergebnis",                                       \
      "Verbindung zu %1 steht. Gefundene Adressbücher: %2 (%3).")                                  \
    X(AbgleichServer_Fehler, "AbgleichServer", "Fehler", "Keine Verbindung. %1")                   \
    X(AbgleichServer_HttpCaption, "AbgleichServer", "HttpCaption", "Unverschlüsselte Verbindung")  \
    X(AbgleichServer_HttpFrage, "AbgleichServer", "HttpFrage",                                     \
      "%1 ist eine unverschlüsselte Adresse (http://): Benutzername, Passwort und Karten gehen "  \
      "lesbar durchs Netz.\n\nTrotzdem unverschlüsselt verbinden? Die Antwort gilt für diesen "  \
      "Server.")                                                                                   \
    X(AbgleichServer_PasswortCaption, "AbgleichServer", "PasswortCaption", "Passwort")             \
    X(AbgleichServer_PasswortFrage, "AbgleichServer", "PasswortFrage",                             \
      "Passwort für Benutzer „%1“ auf %2:")                                                        \
    X(AbgleichServer_KeinSchluesselbund, "AbgleichServer", "KeinSchluesselbund",                   \
      "Kein Schlüsselbund erreichbar: das Passwort wird bei jedem Abgleich erfragt.")              \
    X(AbgleichFortschritt_Angehalten, "AbgleichFortschritt", "Angehalten",                         \
      "Abgleich angehalten, bevor etwas geändert wurde.")                                          \
    X(Wiederherstellung_Caption, "Wiederherstellung", "Caption", "Nicht gespeicherte Änderungen")  \
    X(Wiederherstellung_Frage, "Wiederherstellung", "Frage",                                       \
      "Beim letzten Beenden waren Änderungen am Telefonbuch nicht gespeichert. Sie wurden in "    \
      "\"%1\" gesichert.\n\nJetzt laden? \"Nein\" verwirft sie.")                                  \
    X(Server_Unverschluesselt, "Server", "Unverschluesselt",                                       \
      "%1 ist eine unverschlüsselte Adresse (http://): Benutzername, "                            \
      "Passwort und Karten gingen lesbar durchs Netz. https:// verwenden "                         \
      "oder unverschlüsselt ausdrücklich erlauben (q7ctl: --allow-http).")                         \
    X(Server_FalschesPasswort, "Server", "FalschesPasswort",                                       \
      "Der Server %1 nimmt Benutzer „%2“ mit diesem Passwort nicht an (401): "                 \
      "Passwort oder Benutzername falsch.")                                                        \
    X(Server_Anmeldung, "Server", "Anmeldung",                                                     \
      "Der Server %1 verlangt einen Benutzernamen und ein Passwort (401).")                        \
    X(Server_Abgelehnt, "Server", "Abgelehnt", "Der Server %1 hat %2 abgelehnt: %3 %4")            \
    X(Server_Zeit, "Server", "Zeit",                                                               \
      "Der Server %1 hat auf %2 nicht innerhalb von %3 Sekunden geantwortet.")                     \
    X(Server_KeineVerbindung, "Server", "KeineVerbindung",                                         \
      "Der Server %1 nimmt keine Verbindung an: läuft er, und stimmen "                           \
      "Adresse und Port?")                                                                         \
    X(Server_Beendet, "Server", "Beendet",                                                         \
      "Der Server %1 hat die Verbindung bei %2 beendet, bevor die Antwort "                        \
      "vollständig war.")                                                                          \
    X(Server_Unbekannt, "Server", "Unbekannt",                                                     \
      "Den Rechner %1 findet das Netz nicht: stimmt der Name, und ist das "                        \
      "Netz erreichbar?")                                                                          \
    X(Server_Netz, "Server", "Netz", "Die Verbindung zu %1 ist gestört: %2")                       \
    X(Server_Zertifikat, "Server", "Zertifikat",                                                   \
      "Dem Zertifikat von %1 traut das System nicht: %2 (ausgestellt von "                         \
      "„%3“). Die Verbindung wurde nicht aufgebaut.")                                              \
    X(Server_Unlesbar, "Server", "Unlesbar", "Die Antwort des Servers %1 auf %2 ist unlesbar: %3") \
    X(Server_KeinAdressbuch, "Server", "KeinAdressbuch",                                           \
      "Unter %1 ist kein Adressbuch zu finden.")                                                   \
    X(Server_Umleitungen, "Server", "Umleitungen", "Der Server %1 leitet zu oft um.")              \
    X(Server_Mehrere, "Server", "Mehrere",                                                         \
      "Unter %1 gibt es mehrere Adressbücher; eines wählen (q7ctl: --addressbook URL):\n%2")       \
    X(Zusatzzeilen_Caption, "Zusatzzeilen", "Caption", "Zusatzzeilen gehen verloren")              \
    X(Zusatzzeilen_Frage, "Zusatzzeilen", "Frage",                                                 \
      "Das Handy übernimmt beim Schreiben die Zusatzzeilen (Zusatz1, Zusatz2) nicht. Betroffen: " \
      "%1 (%2).\n\nWer diese Zeilen behalten will, sichert das Telefonbuch vorher mit \"%3\".\n\n" \
      "Trotzdem schreiben?")                                                                       \
    X(Zusatzzeilen_Warnung, "Zusatzzeilen", "Warnung",                                             \
      "Warnung: Das Handy übernimmt beim Schreiben die Zusatzzeilen (Zusatz1, Zusatz2) nicht. "   \
      "Betroffen: %1 (%2).")                                                                       \
    X(Contexmenu_KeinPlatzMEM, "Contexmenu", "KeinPlatzMEM",                                       \
      "Kein freier Speicherplatz im Handyspeicher.")                                               \
    X(Contexmenu_KeinPlatzSIM, "Contexmenu", "KeinPlatzSIM",                                       \
      "Kein freier Speicherplatz auf der SIM-Karte.")                                              \
    X(TAB_Telefonbuch_FrageBeenden, "TAB_Telefonbuch", "FrageBeenden",                             \
      "Es gibt Änderungen, die weder ins Handy geschrieben noch in einer Datei gespeichert "      \
      "wurden. Trotzdem beenden?")                                                                 \
    X(TAB_Telefonbuch_FrageErsetzen, "TAB_Telefonbuch", "FrageErsetzen",                           \
      "Es gibt Änderungen, die weder ins Handy geschrieben noch in einer Datei gespeichert "      \
      "wurden. Trotzdem ersetzen?")                                                                \
    X(TAB_Telefonbuch_FrageUebertragung, "TAB_Telefonbuch", "FrageUebertragung",                   \
      "Die Übertragung mit dem Handy läuft noch. Abbrechen und beenden?")                          \
    X(TAB_Optionen_NichtVorhanden, "TAB_Optionen", "NichtVorhanden", "%1 (nicht vorhanden)")       \
    X(TAB_Telefonbuch_Suchen, "TAB_Telefonbuch", "Suchen", "Suchen (Strg+F)")                      \
    X(Rueckgaengig_Rueckgaengig, "Rueckgaengig", "Rueckgaengig", "&Rückgängig")                    \
    X(Rueckgaengig_Wiederholen, "Rueckgaengig", "Wiederholen", "&Wiederholen")                     \
    X(Rueckgaengig_Bearbeiten, "Rueckgaengig", "Bearbeiten", "Bearbeiten")                         \
    X(Rueckgaengig_Umbenennen, "Rueckgaengig", "Umbenennen", "Umbenennen")                         \
    X(Rueckgaengig_Nummer, "Rueckgaengig", "Nummer", "Nummer ändern")                              \
    X(Rueckgaengig_Loeschen, "Rueckgaengig", "Loeschen", "Löschen")                                \
    X(Rueckgaengig_Nummernart, "Rueckgaengig", "Nummernart", "Nummernart ändern")                  \
    X(Rueckgaengig_Gruppe, "Rueckgaengig", "Gruppe", "Gruppe zuweisen")                            \
    X(Rueckgaengig_Verschieben, "Rueckgaengig", "Verschieben", "Verschieben")                      \
    X(Rueckgaengig_Hinzufuegen, "Rueckgaengig", "Hinzufuegen", "Nummer hinzufügen")                \
    X(Rueckgaengig_Ausschneiden, "Rueckgaengig", "Ausschneiden", "Ausschneiden")                   \
    X(Rueckgaengig_Einfuegen, "Rueckgaengig", "Einfuegen", "Einfügen")                             \
    X(Rueckgaengig_NeuerEintrag, "Rueckgaengig", "NeuerEintrag", "Neuer Eintrag")                  \
    X(Rueckgaengig_Zusammenfuehren, "Rueckgaengig", "Zusammenfuehren", "Zusammenführen")           \
    X(Rueckgaengig_Vereinheitlichen, "Rueckgaengig", "Vereinheitlichen",                           \
      "Nummern vereinheitlichen")                                                                  \
    X(Rueckgaengig_Import, "Rueckgaengig", "Import", "Import")                                     \
    /* What a screen reader says of controls and tree nodes whose picture    */                    \
    /* or place tells the eye more than their caption.                       */                    \
    X(Vorlesen_Handyspeicher, "Vorlesen", "Handyspeicher", "Handyspeicher, Speicherplatz %1")      \
    X(Vorlesen_SimKarte, "Vorlesen", "SimKarte", "SIM-Karte, Position %1")                         \
    X(Vorlesen_FirstNine, "Vorlesen", "FirstNine", "First Nine, Position %1")                      \
    X(Vorlesen_Geaendert, "Vorlesen", "Geaendert", "geändert")                                     \
    X(Vorlesen_Speicherplatz, "Vorlesen", "Speicherplatz", "Speicherplatz: %1")                    \
    X(Vorlesen_Gruppe, "Vorlesen", "Gruppe", "Gruppe: %1")                                         \
    X(Vorlesen_Nummer, "Vorlesen", "Nummer", "Nummer %1, %2: %3")                                  \
    X(Vorlesen_NummerOhneArt, "Vorlesen", "NummerOhneArt", "Nummer %1: %2")                        \
    X(Vorlesen_Zusatz, "Vorlesen", "Zusatz", "Zusatzzeile %1: %2")                                 \
    X(Vorlesen_Suchen, "Vorlesen", "Suchen", "Telefonbuch durchsuchen")                            \
    X(Vorlesen_Fortschritt, "Vorlesen", "Fortschritt", "Fortschritt")                              \
    X(Vorlesen_Status, "Vorlesen", "Status", "Status")                                             \
    X(Vorlesen_Zwischenablage, "Vorlesen", "Zwischenablage", "Zwischenablage")                     \
    X(Vorlesen_Bestand, "Vorlesen", "Bestand", "Bestand")                                          \
    X(Vorlesen_Nummernart, "Vorlesen", "Nummernart", "Nummernart von Nummer %1: %2")               \
    X(Vorlesen_Unterschiede, "Vorlesen", "Unterschiede", "Unterschiede zum Fenster")               \
    X(Vorlesen_OrdnerOeffnen, "Vorlesen", "OrdnerOeffnen", "%1 öffnen")

enum class TextId
{
#define Q7_TEXT_ID(id, section, key, fallback) id,
    Q7_TEXTS(Q7_TEXT_ID)
#undef Q7_TEXT_ID
};

struct TextEntry
{
    const char* section;
    const char* key;
    const char* defaultText; // UTF-8
};

const TextEntry& textEntry(TextId id);
QString defaultText(TextId id);

} // namespace q7
