// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/OptionsPage.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/Placement.h"
#include "app/options/ColorPanel.h"
#include "app/options/ComComboBox.h"
#include "base/LanguageFile.h"
#include "link/ComPort.h"
#include "link/PortMap.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

namespace q7 {

OptionsPage::OptionsPage(TComPort& port, const LanguageFile& texts,
                         const QList<QTreeWidget*>& trees, QWidget* parent)
    : QWidget(parent), m_port(port), m_languageFile(texts), m_trees(trees)
{
    setObjectName(QStringLiteral("TabSheet_Optionen"));
    createControls(port);
}

void OptionsPage::createControls(TComPort& port)
{
    GB_COM_Settings = place(new QGroupBox(this), "GB_COM_Settings", 16, 16, 177, 153);
    Label_Port = place(new QLabel(GB_COM_Settings), "Label_Port", 16, 24, 65, 14);
    Label_Baud = place(new QLabel(GB_COM_Settings), "Label_Baud", 88, 24, 73, 14);
    Label_Flusskontrolle =
        place(new QLabel(GB_COM_Settings), "Label_Flusskontrolle", 16, 72, 145, 14);

    ComCB_COM = place(new TComComboBox(GB_COM_Settings), "ComCB_COM", 16, 40, 65, 21);
    ComCB_BAUD = place(new TComComboBox(GB_COM_Settings), "ComCB_BAUD", 88, 40, 73, 21);
    ComCB_Fluss = place(new TComComboBox(GB_COM_Settings), "ComCB_Fluss", 16, 88, 145, 21);
    ComCB_COM->setItemHeight(16);
    const std::pair<TComComboBox*, TComProperty> lists[] = {
        {ComCB_COM, cpPort}, {ComCB_BAUD, cpBaudRate}, {ComCB_Fluss, cpFlowControl}};
    for (const auto& [list, property] : lists) {
        list->setComPort(&port);
        list->setAutoApply(true);
        // The port list asks the system; a failure leaves that list empty.
        guarded([&] { list->setComProperty(property); });
    }

    // The names alone do not tell which is the cable: each says what stands
    // behind it, beside it in the opened list and, for the chosen one, under
    // the box.
    Lbl_ComGeraet = place(new QLabel(this), "Lbl_ComGeraet", 16, 200, 449, 30);
    Lbl_ComGeraet->setWordWrap(true);
    Lbl_ComGeraet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    guarded([this] {
        QStringList devices;
        for (int i = 0; i < ComCB_COM->count(); ++i)
            devices << deviceDescription(describeComPort(ComCB_COM->itemText(i)), m_languageFile);
        ComCB_COM->setItemDevices(devices);
    });
    connect(ComCB_COM, &QComboBox::currentIndexChanged, this, &OptionsPage::showSelectedPortDevice);
    // After the list's own handler, which has set the port by then.
    connect(ComCB_COM, &QComboBox::activated, this, &OptionsPage::portChosen);
    Lbl_Suchergebnis = place(new QLabel(this), "Lbl_Suchergebnis", 16, 234, 449, 44);
    Lbl_Suchergebnis->setWordWrap(true);
    Lbl_Suchergebnis->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Btn_ComTest = button(GB_COM_Settings, "Btn_ComTest", 48, 120, 75, 25);

    GB_TelefonbuchOptionen =
        place(new QGroupBox(this), "GB_TelefonbuchOptionen", 208, 16, 257, 177);
    CB_NurGeaenderte =
        place(new QCheckBox(GB_TelefonbuchOptionen), "CB_NurGeaenderte", 8, 24, 241, 17);
    CB_NurGeaenderte->setChecked(true);
    CB_Loeschbefehle =
        place(new QCheckBox(GB_TelefonbuchOptionen), "CB_Loeschbefehle", 8, 48, 241, 17);
    CB_Loeschbefehle->setChecked(false);
    // What a write sent is read back and compared unless the user says not to.
    CB_Pruefen = place(new QCheckBox(GB_TelefonbuchOptionen), "CB_Pruefen", 8, 72, 241, 17);
    CB_Pruefen->setChecked(true);

    struct ColorRow
    {
        ColorPanel*& panel;
        ClickLabel*& label;
        const char* panelName;
        const char* labelName;
        int top;
        WindowsColor initial;
        void (OptionsPage::*handler)();
    };
    const ColorRow rows[] = {
        {Panel_Hintergrundfarbe, Lbl_Hintergrundfarbe, "Panel_Hintergrundfarbe",
         "Lbl_Hintergrundfarbe", 104, kSilver, &OptionsPage::Lbl_HintergrundfarbeClick},
        {Panel_Schriftfarbe, Lbl_Schriftfarbe, "Panel_Schriftfarbe", "Lbl_Schriftfarbe", 128,
         kBlack, &OptionsPage::Lbl_SchriftfarbeClick},
        {Panel_Hottrackfarbe, Lbl_Hottrackfarbe, "Panel_Hottrackfarbe", "Lbl_Hottrackfarbe", 152,
         kBlue, &OptionsPage::Lbl_HottrackfarbeClick},
    };
    for (const ColorRow& row : rows) {
        row.panel =
            place(new ColorPanel(GB_TelefonbuchOptionen), row.panelName, 8, row.top, 14, 14);
        row.panel->setWindowsColor(row.initial);
        row.label =
            place(new ClickLabel(GB_TelefonbuchOptionen), row.labelName, 28, row.top, 185, 14);
        connect(row.panel, &ClickLabel::clicked, this, row.handler);
        connect(row.label, &ClickLabel::clicked, this, row.handler);
    }
    applyTreeColors();

    // The labels name the lists they stand over; Tab goes down the port's
    // group, then down the phonebook's options and colours. A swatch does
    // what its label does, so only the label takes the focus.
    Label_Port->setBuddy(ComCB_COM);
    Label_Baud->setBuddy(ComCB_BAUD);
    Label_Flusskontrolle->setBuddy(ComCB_Fluss);
    for (ColorPanel* panel : {Panel_Hintergrundfarbe, Panel_Schriftfarbe, Panel_Hottrackfarbe})
        panel->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> tabOrder = {
        ComCB_COM,        ComCB_BAUD, ComCB_Fluss,          Btn_ComTest,      CB_NurGeaenderte,
        CB_Loeschbefehle, CB_Pruefen, Lbl_Hintergrundfarbe, Lbl_Schriftfarbe, Lbl_Hottrackfarbe};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void OptionsPage::applyTexts()
{
    const LanguageFile& texts = m_languageFile;
    GB_COM_Settings->setTitle(texts.text(TextId::TAB_Optionen_GB_COM_Settings));
    Label_Port->setText(texts.text(TextId::TAB_Optionen_Label_Port));
    Label_Baud->setText(texts.text(TextId::TAB_Optionen_Label_Baud));
    Btn_ComTest->setText(texts.text(TextId::TAB_Optionen_Btn_ComTest));
    // The flow control names and "Custom" among the rates are words, not
    // port values: the lists show them in the file's language.
    ComCB_BAUD->setTexts(&texts);
    ComCB_Fluss->setTexts(&texts);
    Label_Flusskontrolle->setText(texts.text(TextId::TAB_Optionen_Label_Flusskontrolle));
    GB_TelefonbuchOptionen->setTitle(texts.text(TextId::TAB_Optionen_GB_TelefonbuchOptionen));
    CB_NurGeaenderte->setText(texts.text(TextId::TAB_Optionen_CB_NurGeaenderte));
    CB_Loeschbefehle->setText(texts.text(TextId::TAB_Optionen_CB_Loeschbefehle));
    CB_Pruefen->setText(texts.text(TextId::Schreiben_Pruefen));
    Lbl_Hintergrundfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Hintergrundfarbe));
    Lbl_Schriftfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Schriftfarbe));
    Lbl_Hottrackfarbe->setText(texts.text(TextId::TAB_Optionen_Lbl_Hottrackfarbe));
    Panel_Hintergrundfarbe->setAccessibleName(Lbl_Hintergrundfarbe->text());
    Panel_Schriftfarbe->setAccessibleName(Lbl_Schriftfarbe->text());
    Panel_Hottrackfarbe->setAccessibleName(Lbl_Hottrackfarbe->text());
}

bool OptionsPage::writeOnlyChanged() const
{
    return CB_NurGeaenderte->isChecked();
}

bool OptionsPage::verifyAfterWrite() const
{
    return CB_Pruefen->isChecked();
}

bool OptionsPage::saveDeletionCommands() const
{
    return CB_Loeschbefehle->isChecked();
}

PhonebookOptions OptionsPage::phonebookOptions() const
{
    PhonebookOptions options;
    options.nurGeaenderte = CB_NurGeaenderte->isChecked();
    options.pruefen = CB_Pruefen->isChecked();
    options.sicherungen = m_snapshotsKept;
    options.loeschbefehle = CB_Loeschbefehle->isChecked();
    options.hintergrundfarbe = Panel_Hintergrundfarbe->windowsColor();
    options.schriftfarbe = Panel_Schriftfarbe->windowsColor();
    options.hottrackfarbe = Panel_Hottrackfarbe->windowsColor();
    return options;
}

void OptionsPage::setPhonebookOptions(const PhonebookOptions& options)
{
    CB_NurGeaenderte->setChecked(options.nurGeaenderte);
    CB_Pruefen->setChecked(options.pruefen);
    m_snapshotsKept = options.sicherungen;
    Panel_Hintergrundfarbe->setWindowsColor(options.hintergrundfarbe);
    Panel_Schriftfarbe->setWindowsColor(options.schriftfarbe);
    Panel_Hottrackfarbe->setWindowsColor(options.hottrackfarbe);
    applyTreeColors();
    CB_Loeschbefehle->setChecked(options.loeschbefehle);
}

QList<QWidget*> OptionsPage::portControls() const
{
    return {Btn_ComTest, ComCB_COM, ComCB_BAUD, ComCB_Fluss};
}

void OptionsPage::TabSheet_OptionenShow()
{
    ComCB_COM->ShowPortValue();
    ComCB_BAUD->ShowPortValue();
    ComCB_Fluss->ShowPortValue();
    showSelectedPortDevice();
}

void OptionsPage::showSearchResult(const QString& text)
{
    Lbl_Suchergebnis->setText(text);
}

void OptionsPage::showSelectedPortDevice()
{
    // With no entry selected the port's own name still has its device.
    const QString name = ComCB_COM->currentIndex() >= 0 ? ComCB_COM->currentText() : m_port.Port();
    QString description;
    guarded([&] { description = deviceDescription(describeComPort(name), m_languageFile); });
    Lbl_ComGeraet->setText(
        description.isEmpty()
            ? m_languageFile.text(TextId::TAB_Optionen_KeinGeraet)
            : m_languageFile.text(TextId::TAB_Optionen_Lbl_Geraet).arg(description));
    // Heard with the port, as the eye sees it under the list.
    ComCB_COM->setAccessibleDescription(Lbl_ComGeraet->text());
}

void OptionsPage::Lbl_HintergrundfarbeClick()
{
    pickColor(Panel_Hintergrundfarbe);
}

void OptionsPage::Lbl_SchriftfarbeClick()
{
    pickColor(Panel_Schriftfarbe);
}

void OptionsPage::Lbl_HottrackfarbeClick()
{
    pickColor(Panel_Hottrackfarbe);
}

void OptionsPage::pickColor(ColorPanel* panel)
{
    const std::optional<QColor> chosen = dialogs().chooseColor(window(), panel->color());
    if (!chosen)
        return;
    panel->setColor(*chosen);
    applyTreeColors();
}

void OptionsPage::applyTreeColors()
{
    // The panels are the one place the colours live; the trees follow them.
    const QColor background = Panel_Hintergrundfarbe->color();
    const QColor text = Panel_Schriftfarbe->color();
    const QColor hotTrack = Panel_Hottrackfarbe->color();
    for (QTreeWidget* view : m_trees) {
        QPalette palette = view->palette();
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setColor(group, QPalette::Base, background);
            palette.setColor(group, QPalette::Text, text);
            palette.setColor(group, QPalette::WindowText, text);
        }
        // The selection hides while the tree does not have the focus.
        palette.setColor(QPalette::Inactive, QPalette::Highlight, background);
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText, text);
        // Setting a style sheet puts back the palettes the tree and its
        // viewport had when the sheet was first applied, and the viewport
        // keeps its own from then on: both palettes go in after the sheet.
        view->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }"
                                           "QTreeView::item:hover { color: %2; }")
                                .arg(view->property("q7LineHeight").toInt())
                                .arg(hotTrack.name()));
        view->setPalette(palette);
        view->viewport()->setPalette(palette);
    }
}

} // namespace q7
