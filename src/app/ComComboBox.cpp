#include "app/ComComboBox.h"

#include "app/ErrorBox.h"
#include "link/ComPort.h"
#include "link/PortMap.h"

#include <QStyledItemDelegate>

namespace q7 {

namespace {

class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), m_height(height)
    {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_height);
        return size;
    }

private:
    int m_height;
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
    ShowPortValue();
}

void TComComboBox::setItemHeight(int pixels)
{
    setItemDelegate(new FixedHeightDelegate(pixels, this));
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
    // MatchFixedString without MatchCaseSensitive compares ignoring case.
    setCurrentIndex(name.isEmpty() ? -1 : findText(name, Qt::MatchFixedString));
}

void TComComboBox::ApplySettings()
{
    if (!m_port || currentIndex() < 0)
        return;
    const QString text = currentText();
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
