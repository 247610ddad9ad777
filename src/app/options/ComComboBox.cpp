// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/options/ComComboBox.h"

#include "app/common/ErrorBox.h"
#include "base/LanguageFile.h"
#include "link/ComPort.h"
#include "link/PortMap.h"

#include <QAbstractItemView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace q7 {

namespace {

// The rows of the drop-down list: of a fixed height, and each name followed
// by the device behind it, where one was given.
class ListRowDelegate : public QStyledItemDelegate
{
public:
    ListRowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (m_height > 0)
            size.setHeight(m_height);
        return size;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString device = index.data(Qt::ToolTipRole).toString();
        if (!device.isEmpty())
            option->text += QStringLiteral("   ") + device;
    }

private:
    int m_height;
};

constexpr int kNameRole = Qt::UserRole;

// The words among the stored names, and the text each shows.
struct ShownName
{
    TComProperty property;
    const char* name;
    TextId text;
};

constexpr ShownName kShownNames[] = {
    {cpBaudRate, "Custom", TextId::TAB_Optionen_Baud_Eigene},
    {cpFlowControl, "Hardware", TextId::TAB_Optionen_Fluss_Hardware},
    {cpFlowControl, "Software", TextId::TAB_Optionen_Fluss_Software},
    {cpFlowControl, "None", TextId::TAB_Optionen_Fluss_Keine},
    {cpFlowControl, "Custom", TextId::TAB_Optionen_Fluss_Eigene},
};

} // namespace

TComComboBox::TComComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &TComComboBox::onActivated);
}

void TComComboBox::setComPort(TComPort* port)
{
    m_port = port;
    ShowPortValue();
}

void TComComboBox::setComProperty(TComProperty property)
{
    m_property = property;
    clear();
    switch (property) {
    case cpNone:
        break;
    case cpPort:
        addItems(listComPorts());
        break;
    case cpBaudRate:
        addItems(baudRateNames());
        break;
    case cpDataBits:
        addItems(dataBitsNames());
        break;
    case cpStopBits:
        addItems(stopBitsNames());
        break;
    case cpParity:
        addItems(parityNames());
        break;
    case cpFlowControl:
        addItems(flowControlNames());
        break;
    }
    for (int i = 0; i < count(); ++i)
        setItemData(i, itemText(i), kNameRole);
    showNamesInLanguage();
    ShowPortValue();
}

void TComComboBox::setTexts(const LanguageFile* texts)
{
    m_texts = texts;
    showNamesInLanguage();
}

void TComComboBox::showNamesInLanguage()
{
    for (int i = 0; i < count(); ++i) {
        const QString name = nameAt(i);
        QString shown = name;
        for (const ShownName& word : kShownNames)
            if (m_texts && word.property == m_property && name == QLatin1String(word.name))
                shown = m_texts->text(word.text);
        setItemText(i, shown);
    }
}

QString TComComboBox::nameAt(int index) const
{
    const QVariant name = itemData(index, kNameRole);
    return name.isValid() ? name.toString() : itemText(index);
}

void TComComboBox::setItemHeight(int pixels)
{
    m_itemHeight = pixels;
    setItemDelegate(new ListRowDelegate(pixels, this));
}

void TComComboBox::setItemDevices(const QStringList& devices)
{
    for (int i = 0; i < count() && i < devices.size(); ++i)
        setItemData(i, devices[i], Qt::ToolTipRole);
    if (!dynamic_cast<ListRowDelegate*>(itemDelegate()))
        setItemDelegate(new ListRowDelegate(m_itemHeight, this));
    // The list opens as wide as its longest row, however narrow the box.
    QStyleOptionViewItem option;
    option.initFrom(view());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, itemDelegate()->sizeHint(option, model()->index(i, 0)).width());
    view()->setMinimumWidth(widest + view()->verticalScrollBar()->sizeHint().width());
}

QString TComComboBox::portValueName() const
{
    if (!m_port)
        return {};
    switch (m_property) {
    case cpNone:
        return {};
    case cpPort:
        return m_port->Port();
    case cpBaudRate:
        return baudRateName(m_port->BaudRate());
    case cpDataBits:
        return dataBitsName(m_port->DataBits());
    case cpStopBits:
        return stopBitsName(m_port->StopBits());
    case cpParity:
        return parityName(m_port->Parity().Bits);
    case cpFlowControl:
        return flowControlName(m_port->flowControlChoice());
    }
    return {};
}

void TComComboBox::ShowPortValue()
{
    const QString name = portValueName();
    int found = -1;
    for (int i = 0; i < count() && found < 0 && !name.isEmpty(); ++i)
        if (nameAt(i).compare(name, Qt::CaseInsensitive) == 0)
            found = i;
    setCurrentIndex(found);
}

void TComComboBox::ApplySettings()
{
    if (!m_port || currentIndex() < 0)
        return;
    const QString text = nameAt(currentIndex());
    switch (m_property) {
    case cpNone:
        break;
    case cpPort:
        m_port->setPort(text);
        break;
    case cpBaudRate:
        m_port->setBaudRate(baudRateFromName(text));
        break;
    case cpDataBits:
        m_port->setDataBits(dataBitsFromName(text));
        break;
    case cpStopBits:
        m_port->setStopBits(stopBitsFromName(text));
        break;
    case cpParity: {
        TComParity parity = m_port->Parity();
        parity.Bits = parityFromName(text);
        m_port->setParity(parity);
        break;
    }
    case cpFlowControl:
        m_port->setFlowControlChoice(flowControlFromName(text));
        break;
    }
}

void TComComboBox::onActivated(int index)
{
    (void)index;
    if (m_autoApply)
        guarded([this] { ApplySettings(); });
}

} // namespace q7
