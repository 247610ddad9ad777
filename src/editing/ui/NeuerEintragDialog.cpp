// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/ui/NeuerEintragDialog.h"

#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "editing/ui/TextInput.h"
#include "phonebook/ui/PhonebookImages.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>

namespace q7 {

namespace {

constexpr int kClientWidth = 364;
constexpr int kClientHeight = 211;
constexpr int kTypeCount = 7;

// A new row shows this type until the user picks another. It is the word
// itself, not the language file's name for the first type, and it is what
// an untouched row stores.
const QString kInitialType = QStringLiteral("Telefon");

constexpr const char* kTypeItemNames[kTypeCount] = {
    "PM_Telefon", "PM_Heim", "PM_Buero", "PM_Mobil", "PM_Fax", "PM_Funkruf", "PM_Etc"};

template <class W>
W* place(W* widget, const QString& name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

template <class W> W* place(W* widget, const char* name, int left, int top, int width, int height)
{
    return place(widget, QLatin1String(name), left, top, width, height);
}

} // namespace

TFrm_NeuerEintrag::TFrm_NeuerEintrag(const LanguageFile& texts,
                                     const NumberTypeNames& numberTypeNames,
                                     const GroupList& groups, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Frm_NeuerEintrag"));
    setFixedSize(kClientWidth, kClientHeight);
    // A dialog is a window of its own and does not inherit the main window's
    // font; it should look like the window it belongs to.
    if (parent)
        setFont(parent->font());
    FormCreate();

    for (const QByteArray& group : groups.names())
        CB_Gruppe->addItem(decodePc(group));
    CB_Gruppe->addItem(texts.text(TextId::Contexmenu_PM_KeineGruppe));
    CB_Gruppe->setCurrentIndex(-1);

    applyTexts(texts, numberTypeNames);
    fitBottomRow();
    setUpFieldInput(Edt_Name, InputKind::Text, texts,
                    [this](const QString& message) { say(Edt_Name, message); });
    for (QLineEdit* edit : Edt_Nummer)
        setUpFieldInput(edit, InputKind::Number, texts,
                        [this, edit](const QString& message) { say(edit, message); });
    updateErstellen();
    if (parent) {
        const QRect frame = parent->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
}

void TFrm_NeuerEintrag::FormCreate()
{
    GroupBox1 = place(new QGroupBox(this), "GroupBox1", 8, 0, 353, 177);
    Label_name = place(new QLabel(GroupBox1), "Label_name", 8, 8, 193, 14);
    Edt_Name = place(new QLineEdit(GroupBox1), "Edt_Name", 8, 24, 193, 21);
    Label_gruppe = place(new QLabel(GroupBox1), "Label_gruppe", 208, 8, 137, 14);
    CB_Gruppe = place(new QComboBox(GroupBox1), "CB_Gruppe", 208, 24, 137, 21);
    CB_Gruppe->setEditable(false);

    for (int k = 0; k < 3; ++k) {
        const int top = 64 + 40 * k;
        const QString suffix = QString::number(k + 1);
        Label_Nummer[k] = place(new QLabel(GroupBox1), QStringLiteral("Label_Nummer") + suffix, 40,
                                top - 16, 177, 14);
        BitBtn_Nummer[k] = place(new QToolButton(GroupBox1),
                                 QStringLiteral("BitBtn_Nummer") + suffix, 32, top, 22, 22);
        BitBtn_Nummer[k]->setIcon(phonebookImages().value(kFirstNumberTypeImage));
        BitBtn_Nummer[k]->setIconSize(kPhonebookImageSize);
        BitBtn_Nummer[k]->setToolTip(kInitialType);
        BitBtn_Nummer[k]->installEventFilter(this);
        // A left click, Space or Enter open the type menu below the button,
        // as the right click opens it at the mouse.
        connect(BitBtn_Nummer[k], &QToolButton::clicked, this,
                [this, k] { openTypeMenu(BitBtn_Nummer[k]); });
        Edt_Nummer[k] = place(new QLineEdit(GroupBox1), QStringLiteral("Edt_Nummer") + suffix, 56,
                              top, 161, 21);
        Edt_Nummer[k]->installEventFilter(this);
    }

    // What a field says about its text stands beside the number rows, in
    // the room the group list leaves below itself: a tooltip would lie over
    // the next field and take the click meant for it.
    Lbl_Hinweis = place(new QLabel(GroupBox1), "Lbl_Hinweis", 224, 52, 121, 120);
    Lbl_Hinweis->setWordWrap(true);
    Lbl_Hinweis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Lbl_Hinweis->setTextFormat(Qt::PlainText);

    RB_SIM = place(new QRadioButton(this), "RB_SIM", 8, 184, 104, 21);
    RB_Mem = place(new QRadioButton(this), "RB_Mem", 112, 184, 136, 21);
    RB_SIM->setChecked(true);
    Btn_Erstellen = place(new QPushButton(this), "Btn_Erstellen", 248, 184, 51, 25);
    Btn_Abbruch = place(new QPushButton(this), "Btn_Abbruch", 304, 184, 51, 25);
    for (QPushButton* button : {Btn_Erstellen, Btn_Abbruch})
        button->setAutoDefault(false);
    // Enter anywhere in the dialog creates the entry, once it has a name.
    Btn_Erstellen->setDefault(true);

    PU_Symbol = new QMenu(this);
    PU_Symbol->setObjectName(QStringLiteral("PU_Symbol"));
    for (int i = 0; i < kTypeCount; ++i) {
        QAction* item =
            PU_Symbol->addAction(phonebookImages().value(kFirstNumberTypeImage + i), QString());
        item->setObjectName(QLatin1String(kTypeItemNames[i]));
        // Ctrl+1 to Ctrl+7 also work while the menu is closed, on the row
        // being typed in.
        item->setShortcut(QKeyCombination(Qt::ControlModifier, Qt::Key(Qt::Key_1 + i)));
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
        m_typeItems[i] = item;
        connect(item, &QAction::triggered, this, [this, i] { PM_NummernArtClick(i); });
    }

    const QList<QWidget*> tabOrder = {Edt_Name,         CB_Gruppe,        BitBtn_Nummer[0],
                                      Edt_Nummer[0],    BitBtn_Nummer[1], Edt_Nummer[1],
                                      BitBtn_Nummer[2], Edt_Nummer[2],    RB_SIM,
                                      RB_Mem,           Btn_Erstellen,    Btn_Abbruch};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Edt_Name->setFocus();
    // Each label names its field for a screen reader.
    Label_name->setBuddy(Edt_Name);
    Label_gruppe->setBuddy(CB_Gruppe);
    for (int k = 0; k < 3; ++k)
        Label_Nummer[k]->setBuddy(Edt_Nummer[k]);

    connect(Edt_Name, &QLineEdit::textChanged, this, &TFrm_NeuerEintrag::updateErstellen);
    connect(Btn_Erstellen, &QPushButton::clicked, this, &TFrm_NeuerEintrag::Btn_ErstellenClick);
    connect(Btn_Abbruch, &QPushButton::clicked, this, &TFrm_NeuerEintrag::Btn_AbbruchClick);
}

void TFrm_NeuerEintrag::applyTexts(const LanguageFile& texts,
                                   const NumberTypeNames& numberTypeNames)
{
    setWindowTitle(texts.text(TextId::Neuereintrag_Frm_NeuerEintrag));
    Label_name->setText(texts.text(TextId::Neuereintrag_Label_name));
    Label_gruppe->setText(texts.text(TextId::Neuereintrag_Label_gruppe));
    for (int k = 0; k < 3; ++k)
        Label_Nummer[k]->setText(texts.text(TextId::Contexmenu_Nummer) +
                                 QStringLiteral(" %1").arg(k + 1));
    RB_SIM->setText(texts.text(TextId::Neuereintrag_RB_SIM));
    RB_Mem->setText(texts.text(TextId::Neuereintrag_RB_MEM));
    Btn_Erstellen->setText(texts.text(TextId::Neuereintrag_Btn_Erstellen));
    Btn_Abbruch->setText(texts.text(TextId::Neuereintrag_Btn_Abbruch));
    // The menu shows each item's shortcut itself, its key names in the
    // program's language ("Strg+1", "Ctrl+1").
    for (int i = 0; i < kTypeCount; ++i) {
        m_typeNames[i] = decodePc(numberTypeNames[i]);
        m_typeItems[i]->setText(m_typeNames[i]);
    }
    m_typeButtonName = texts.text(TextId::Vorlesen_Nummernart);
    for (QToolButton* button : BitBtn_Nummer)
        nameTypeButton(button);
}

void TFrm_NeuerEintrag::nameTypeButton(QToolButton* button)
{
    // The glyph shows the type to the eye; the name says it.
    const int k = int(std::find(BitBtn_Nummer.cbegin(), BitBtn_Nummer.cend(), button) -
                      BitBtn_Nummer.cbegin()) +
                  1;
    button->setAccessibleName(m_typeButtonName.arg(QString::number(k), button->toolTip()));
}

NewEntry TFrm_NeuerEintrag::entry() const
{
    NewEntry result;
    result.name = encodePc(Edt_Name->text());
    result.group = encodePc(CB_Gruppe->currentText());
    for (int k = 0; k < 3; ++k) {
        result.numbers[k] = encodePc(Edt_Nummer[k]->text());
        result.numberTypes[k] = encodePc(BitBtn_Nummer[k]->toolTip());
    }
    result.target = RB_SIM->isChecked() ? MoveTarget::Sim : MoveTarget::Memory;
    return result;
}

bool TFrm_NeuerEintrag::eventFilter(QObject* watched, QEvent* event)
{
    for (int k = 0; k < 3; ++k) {
        if (watched == BitBtn_Nummer[k] && event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            BitBtn_NummerMouseDown(BitBtn_Nummer[k], mouse->button() == Qt::RightButton);
            if (mouse->button() == Qt::RightButton) {
                PU_Symbol->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
        // The keyboard's way to a row's type: Ctrl+1..Ctrl+7 act on the row
        // whose button or number field has the focus.
        if ((watched == BitBtn_Nummer[k] || watched == Edt_Nummer[k]) &&
            event->type() == QEvent::FocusIn)
            m_currentTypeButton = BitBtn_Nummer[k];
        if (watched == BitBtn_Nummer[k] && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                openTypeMenu(BitBtn_Nummer[k]);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrm_NeuerEintrag::BitBtn_NummerMouseDown(QToolButton* button, bool /*rightButton*/)
{
    m_currentTypeButton = button;
}

void TFrm_NeuerEintrag::openTypeMenu(QToolButton* button)
{
    m_currentTypeButton = button;
    PU_Symbol->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void TFrm_NeuerEintrag::say(QWidget* field, const QString& message)
{
    // The line shows what the field that spoke last says; once that field
    // has nothing more to say, what another still says comes back.
    m_hinweise.removeIf([field](const auto& said) { return said.first == field; });
    if (!message.isEmpty())
        m_hinweise.append({field, message});
    Lbl_Hinweis->setText(m_hinweise.isEmpty() ? QString() : m_hinweise.constLast().second);
}

void TFrm_NeuerEintrag::fitBottomRow()
{
    // The captions come from the language file and the font from the
    // window: the row makes room for them rather than cutting them, and the
    // dialog grows when the row needs more than its width.
    const auto buttonWidth = [](QPushButton* button) {
        const QString caption = QString(button->text()).remove(u'&');
        return std::max(51, button->fontMetrics().horizontalAdvance(caption) + 16);
    };
    const int top = 184;
    const int simWidth = std::max(104, RB_SIM->sizeHint().width());
    const int memWidth = std::max(136, RB_Mem->sizeHint().width());
    const int createWidth = buttonWidth(Btn_Erstellen);
    const int cancelWidth = buttonWidth(Btn_Abbruch);
    RB_SIM->setGeometry(8, top, simWidth, 21);
    RB_Mem->setGeometry(8 + simWidth, top, memWidth, 21);
    const int createLeft = 8 + simWidth + memWidth;
    Btn_Erstellen->setGeometry(createLeft, top, createWidth, 25);
    Btn_Abbruch->setGeometry(createLeft + createWidth + 5, top, cancelWidth, 25);
    const int width = std::max(kClientWidth, createLeft + createWidth + 5 + cancelWidth + 9);
    if (width != kClientWidth) {
        setFixedSize(width, kClientHeight);
        GroupBox1->resize(width - 11, GroupBox1->height());
    }
}

void TFrm_NeuerEintrag::PM_NummernArtClick(int type)
{
    QToolButton* button = m_currentTypeButton;
    if (!button)
        return;
    button->setIcon(phonebookImages().value(kFirstNumberTypeImage + type));
    button->setToolTip(m_typeNames[type]);
    nameTypeButton(button);
}

void TFrm_NeuerEintrag::Btn_ErstellenClick()
{
    if (m_acceptEntry && !m_acceptEntry(entry()))
        return;
    m_cancelled = false;
    accept();
}

void TFrm_NeuerEintrag::Btn_AbbruchClick()
{
    reject();
}

void TFrm_NeuerEintrag::updateErstellen()
{
    // A record without a name gets no node and counts as free: the entry
    // would be lost at the next new one.
    Btn_Erstellen->setEnabled(!Edt_Name->text().trimmed().isEmpty());
}

} // namespace q7
