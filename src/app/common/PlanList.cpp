// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/PlanList.h"

#include <QHash>
#include <QListWidget>
#include <QPersistentModelIndex>
#include <QStringTokenizer>
#include <QStyledItemDelegate>
#include <algorithm>

namespace q7 {

namespace {

// Qt measures a wrapped line of many fields in half a millisecond, and the
// list measured all 700 lines of a whole phonebook's plan before the dialog
// showed, and again at every step of a resize. Here a line the list has not
// shown yet is sized from its length alone; it is measured once painted,
// and the list laid out again where the guess was wrong.
class PlanLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (option.rect.width() != m_width) {
            m_width = option.rect.width();
            m_measured.clear();
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        const auto measured = m_measured.constFind(text);
        return measured != m_measured.cend() ? *measured : guess(option, text);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (m_width <= 0 || m_measured.contains(text))
            return;
        QStyleOptionViewItem laidOut = option;
        laidOut.rect.setWidth(m_width);
        const QSize exact = QStyledItemDelegate::sizeHint(laidOut, index);
        m_measured.insert(text, exact);
        if (exact != guess(laidOut, text) && !m_relayoutDue) {
            // Not while the list paints: once it has.
            m_relayoutDue = true;
            auto* self = const_cast<PlanLineDelegate*>(this);
            QMetaObject::invokeMethod(
                self,
                [self, row = QPersistentModelIndex(index)] {
                    self->m_relayoutDue = false;
                    emit self->sizeHintChanged(row);
                },
                Qt::QueuedConnection);
        }
    }

private:
    // Each line of the text wrapped at its length in average characters.
    QSize guess(const QStyleOptionViewItem& option, const QString& text) const
    {
        const QFontMetrics metrics(option.font);
        const int room = std::max(1, m_width - 2 * metrics.averageCharWidth());
        qsizetype lines = 0;
        for (const QStringView part : QStringTokenizer(text, u'\n'))
            lines += std::max<qsizetype>(1, (part.size() * metrics.averageCharWidth() + room - 1) /
                                                room);
        return {std::max(1, m_width), int(lines) * metrics.lineSpacing() + 4};
    }

    mutable int m_width = -1; // the width the list lays lines out in
    mutable QHash<QString, QSize> m_measured;
    mutable bool m_relayoutDue = false;
};

} // namespace

QListWidget* makePlanList(const QString& objectName, QWidget* parent)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setItemDelegate(new PlanLineDelegate(list));
    list->setWordWrap(true);
    list->setTextElideMode(Qt::ElideNone);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A scroll bar that came as the list filled would change the width the
    // lines wrap in, and every line would be measured again.
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setResizeMode(QListView::Adjust);
    return list;
}

} // namespace q7
