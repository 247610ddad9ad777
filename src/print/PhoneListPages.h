// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace q7 {

class LanguageFile;
struct PhoneList;

// The phone list laid out on pages: a head with the handset's name and the
// date, the First Nine (position, name, number), then the entries with
// their numbers, types and groups, and the page number at the foot. Columns
// take the width they need where the page has it; where it has not, they
// share it in proportion and the texts wrap, at a word where there is one,
// so a long name takes a second line rather than losing its end. An entry
// never breaks across pages; a table that goes on repeats its column heads.
//
// The layout is made once for a device (its page size, margins and
// resolution), and its pages are then only painted: the preview, the
// printer and the PDF get the same lines.
class PhoneListPages
{
public:
    PhoneListPages(const PhoneList& list, const LanguageFile& texts, QPaintDevice& device);

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // painter is active on device; a new page begins between two.
    void paint(QPainter& painter, QPagedPaintDevice& device) const;

    enum class Style
    {
        Body,
        ColumnHead,
        Heading,
        GroupHeading,
        PageHead,
    };
    struct Text
    {
        QPointF baseline;
        QString text;
        Style style;
    };
    struct Page
    {
        QList<Text> texts;
        QList<QLineF> rules;     // under the page head and the column heads
        QList<QLineF> thinRules; // between entries
    };
    const QList<Page>& pages() const { return m_pages; }

private:
    QList<Page> m_pages;
};

// Lays the list out for device and paints it there; false when the device
// would not be painted on (a file that could not be opened).
bool printPhoneList(const PhoneList& list, const LanguageFile& texts, QPagedPaintDevice& device);

} // namespace q7
