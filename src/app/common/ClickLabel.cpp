// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/ClickLabel.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace q7 {

namespace {

// A label is static text to a screen reader, with nothing to press: this one
// acts, so it says so.
class ClickLabelAccessible : public QAccessibleWidget
{
public:
    explicit ClickLabelAccessible(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Button)
    {}

    QString text(QAccessible::Text t) const override
    {
        const auto* label = static_cast<const ClickLabel*>(widget());
        if (t == QAccessible::Name && label->accessibleName().isEmpty())
            return label->text();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            emit static_cast<ClickLabel*>(widget())->clicked();
        else
            QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* clickLabelAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ClickLabel::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new ClickLabelAccessible(static_cast<ClickLabel*>(object));
    return nullptr;
}

} // namespace

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent)
{
    static const bool accessible = (QAccessible::installFactory(clickLabelAccessible), true);
    Q_UNUSED(accessible);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    // The keyboard's place must show, as it does on a button.
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

} // namespace q7
