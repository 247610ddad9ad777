// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PhoneListPages.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "phonebook/RecordStore.h"
#include "print/PhoneList.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <numeric>

namespace q7 {

namespace {

using Style = PhoneListPages::Style;
using Page = PhoneListPages::Page;
using Text = PhoneListPages::Text;

constexpr std::array kStyles{Style::Body, Style::ColumnHead, Style::Heading, Style::GroupHeading,
                             Style::PageHead};

QFont fontOf(Style style)
{
    QFont font;
    // DejaVu Sans comes with Debian's font set up and holds every character
    // of the PC and the handset sets; elsewhere any sans serif will do.
    font.setFamilies({QStringLiteral("DejaVu Sans")});
    // No ligatures: "Office" would otherwise reach a PDF reader's search and
    // copy as "O\uFB03ce".
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    switch (style) {
    case Style::Body:
        font.setPointSizeF(10);
        break;
    case Style::ColumnHead:
        font.setPointSizeF(9);
        font.setBold(true);
        break;
    case Style::Heading:
        font.setPointSizeF(14);
        font.setBold(true);
        break;
    case Style::GroupHeading:
        font.setPointSizeF(11.5);
        font.setBold(true);
        break;
    case Style::PageHead:
        font.setPointSizeF(8.5);
        break;
    }
    return font;
}

// A column either holds one item per entry (a name), or one item per
// number; the items of the per-number columns stand in step, so a type
// stays beside its number whatever wraps.
struct Column
{
    QString caption;
    bool perNumber = false;
    qreal x = 0;
    qreal width = 0;
};

using Row = QList<QStringList>; // the items of each column

struct Table
{
    QList<Column> columns;
    int widest = 0; // the column that takes what room is left
};

class Layout
{
public:
    Layout(const LanguageFile& texts, QPaintDevice& device)
        : m_texts(texts), m_device(device), m_dpi(device.logicalDpiY()), m_width(device.width()),
          m_height(device.height())
    {
        for (const Style style : kStyles)
            m_metrics.append(QFontMetricsF(fontOf(style), &device));
        m_top = lineHeight(Style::PageHead) + points(12);
        m_bottom = m_height - lineHeight(Style::PageHead) - points(10);
        newPage();
    }

    QList<Page> takePages() { return std::move(m_pages); }

    void emptyNotice()
    {
        placeLines(wrap(m_texts.text(TextId::Drucken_Leer), Style::Body, m_width), Style::Body, 0);
    }

    void heading(const QString& text, Style style, qreal keepWith)
    {
        const qreal before = m_y > m_top ? points(style == Style::Heading ? 14 : 8) : 0;
        const QStringList lines = wrap(text, style, m_width);
        const qreal height = lines.size() * lineHeight(style) + points(4);
        if (m_y + before + height + keepWith > m_bottom && m_y > m_top)
            newPage();
        else
            m_y += before;
        placeLines(lines, style, 0);
        m_y += points(4);
    }

    // Column widths from every row the table will get, in all its sections.
    // Where the texts do not fit on one line each, a column keeps at least
    // its longest word (up to an equal share of the page), and the room
    // left goes to the columns in proportion to what they would need more:
    // a type or a group wraps between its words, and only a word longer
    // than a share, such as thirty wide letters in a name, breaks within.
    void fit(Table& table, const QList<Row>& rows) const
    {
        const qreal pad = 2 * padding();
        const qreal share = m_width / table.columns.size();
        QList<qreal> natural;
        QList<qreal> least;
        const auto measure = [&](qsizetype c, const QString& text, Style style) {
            natural[c] = std::max(natural[c], advance(text, style) + pad);
            for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
                least[c] = std::max(least[c], std::min(advance(word, style) + pad, share));
        };
        for (qsizetype c = 0; c < table.columns.size(); ++c) {
            natural << 0.0;
            least << 0.0;
            measure(c, table.columns[c].caption, Style::ColumnHead);
        }
        for (const Row& row : rows)
            for (qsizetype c = 0; c < row.size(); ++c)
                for (const QString& item : row[c])
                    measure(c, item, Style::Body);
        const qreal sum = std::accumulate(natural.cbegin(), natural.cend(), 0.0);
        const qreal sumLeast = std::accumulate(least.cbegin(), least.cend(), 0.0);
        qreal x = 0;
        for (qsizetype c = 0; c < table.columns.size(); ++c) {
            Column& column = table.columns[c];
            column.x = x;
            if (sum <= m_width)
                column.width = natural[c] + (c == table.widest ? m_width - sum : 0);
            else
                column.width =
                    least[c] + (natural[c] - least[c]) * (m_width - sumLeast) / (sum - sumLeast);
            x += column.width;
        }
    }

    qreal headRowHeight(const Table& table) const
    {
        return rowHeight(table, captions(table), Style::ColumnHead);
    }
    qreal rowHeight(const Table& table, const Row& row, Style style = Style::Body) const
    {
        return arrange(table, row, style, nullptr);
    }

    void columnHeads(const Table& table)
    {
        const Row row = captions(table);
        m_y += arrange(table, row, Style::ColumnHead, &m_pages.last().texts);
        m_pages.last().rules.append(QLineF(0, m_y, m_width, m_y));
    }

    void rows(const Table& table, const QList<Row>& rows)
    {
        columnHeads(table);
        for (const Row& row : rows) {
            if (m_y + rowHeight(table, row) > m_bottom) {
                newPage();
                columnHeads(table);
            }
            m_y += arrange(table, row, Style::Body, &m_pages.last().texts);
            m_pages.last().thinRules.append(QLineF(0, m_y, m_width, m_y));
        }
    }

    // The head and the foot of each page, once their number is known.
    void headsAndFeet(const QString& title, const QString& date)
    {
        const int count = static_cast<int>(m_pages.size());
        const qreal head = ascent(Style::PageHead);
        const qreal foot = m_height - lineHeight(Style::PageHead) + head;
        const qreal rule = lineHeight(Style::PageHead) + points(3);
        for (int n = 1; n <= count; ++n) {
            Page& page = m_pages[n - 1];
            page.texts.append({QPointF(0, head), title, Style::PageHead});
            page.texts.append(
                {QPointF(m_width - advance(date, Style::PageHead), head), date, Style::PageHead});
            page.rules.append(QLineF(0, rule, m_width, rule));
            const QString number = fillIn(m_texts.text(TextId::Drucken_Seite),
                                          {QString::number(n), QString::number(count)});
            page.texts.append({QPointF((m_width - advance(number, Style::PageHead)) / 2, foot),
                               number, Style::PageHead});
        }
    }

private:
    static qsizetype index(Style style) { return static_cast<qsizetype>(style); }
    qreal points(qreal value) const { return value * m_dpi / 72.0; }
    qreal padding() const { return points(4.5); }
    qreal lineHeight(Style style) const { return m_metrics[index(style)].lineSpacing(); }
    qreal ascent(Style style) const { return m_metrics[index(style)].ascent(); }
    qreal advance(const QString& text, Style style) const
    {
        return m_metrics[index(style)].horizontalAdvance(text);
    }

    void newPage()
    {
        m_pages.append(Page{});
        m_y = m_top;
    }

    static Row captions(const Table& table)
    {
        Row row;
        for (const Column& column : table.columns)
            row.append({column.caption});
        return row;
    }

    // The lines of a text in a width: broken at a word where one ends in
    // time, else within the word, so nothing runs past the width.
    QStringList wrap(const QString& text, Style style, qreal width) const
    {
        QTextLayout layout(text, fontOf(style), &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        QStringList lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString part = text.mid(line.textStart(), line.textLength());
            while (part.endsWith(u' '))
                part.chop(1);
            lines.append(part);
        }
        layout.endLayout();
        return lines;
    }

    void placeLines(const QStringList& lines, Style style, qreal x)
    {
        for (const QString& line : lines) {
            m_pages.last().texts.append({QPointF(x, m_y + ascent(style)), line, style});
            m_y += lineHeight(style);
        }
    }

    // The height of a row at m_y; with texts, its lines go there too.
    qreal arrange(const Table& table, const Row& row, Style style, QList<Text>* texts) const
    {
        const qreal pad = padding();
        const qreal lines = lineHeight(style);
        // The per-number columns' items: each starts where the tallest of
        // the one before ended.
        QList<QList<QStringList>> wrapped(row.size());
        qsizetype numbers = 0;
        for (qsizetype c = 0; c < row.size(); ++c) {
            for (const QString& item : row[c])
                wrapped[c].append(wrap(item, style, table.columns[c].width - 2 * pad));
            if (table.columns[c].perNumber)
                numbers = std::max(numbers, row[c].size());
        }
        QList<qreal> numberTops(numbers + 1, 0.0);
        for (qsizetype i = 0; i < numbers; ++i) {
            qsizetype tallest = 0;
            for (qsizetype c = 0; c < row.size(); ++c)
                if (table.columns[c].perNumber && i < wrapped[c].size())
                    tallest = std::max(tallest, wrapped[c][i].size());
            numberTops[i + 1] = numberTops[i] + tallest * lines;
        }
        qreal height = numberTops.last();
        for (qsizetype c = 0; c < row.size(); ++c) {
            const Column& column = table.columns[c];
            qreal top = 0;
            for (qsizetype i = 0; i < wrapped[c].size(); ++i) {
                if (column.perNumber)
                    top = numberTops[i];
                for (const QString& line : std::as_const(wrapped[c][i])) {
                    if (texts)
                        texts->append({QPointF(column.x + pad, m_y + pad + top + ascent(style)),
                                       line, style});
                    top += lines;
                }
            }
            height = std::max(height, top);
        }
        return std::max(height, lines) + 2 * pad;
    }

    const LanguageFile& m_texts;
    QPaintDevice& m_device;
    qreal m_dpi;
    qreal m_width;
    qreal m_height;
    QList<QFontMetricsF> m_metrics; // by style
    qreal m_top = 0;
    qreal m_bottom = 0;
    qreal m_y = 0;
    QList<Page> m_pages;
};

QStringList numbersOf(const PhoneListEntry& entry)
{
    QStringList numbers;
    for (const PhoneListNumber& number : entry.numbers)
        numbers << number.number;
    return numbers;
}

QStringList typesOf(const PhoneListEntry& entry)
{
    QStringList types;
    for (const PhoneListNumber& number : entry.numbers)
        types << number.type;
    return types;
}

void layOutFirstNine(Layout& layout, const PhoneList& list, const LanguageFile& texts)
{
    Table table{{{texts.text(TextId::Drucken_Platz)},
                 {texts.text(TextId::Drucken_Name)},
                 {texts.text(TextId::Drucken_Nummer), true}},
                1};
    QList<Row> rows;
    for (const PhoneListEntry& entry : list.firstNine)
        rows.append(
            {{QString::number(entry.record - kLastMemoryRecord)}, {entry.name}, numbersOf(entry)});
    layout.fit(table, rows);
    layout.heading(texts.text(TextId::TAB_Telefonbuch_Firstnine), Style::Heading,
                   layout.headRowHeight(table) + layout.rowHeight(table, rows.front()));
    layout.rows(table, rows);
}

void layOutPhonebook(Layout& layout, const PhoneList& list, const LanguageFile& texts)
{
    Table table{{{texts.text(TextId::Drucken_Name)},
                 {texts.text(TextId::Drucken_Nummernart), true},
                 {texts.text(TextId::Drucken_Nummer), true}},
                0};
    // Grouped, the heading over each table names the group.
    if (!list.grouped)
        table.columns.append({texts.text(TextId::Drucken_Gruppe)});
    QList<QList<Row>> sections;
    QList<Row> all;
    for (const PhoneListSection& section : list.sections) {
        QList<Row>& rows = sections.emplace_back();
        for (const PhoneListEntry& entry : section.entries) {
            Row row{{entry.name}, typesOf(entry), numbersOf(entry)};
            if (!list.grouped)
                row.append({entry.group});
            rows.append(row);
        }
        all += rows;
    }
    layout.fit(table, all);
    const qreal firstRows =
        layout.headRowHeight(table) + layout.rowHeight(table, sections.front().front());
    layout.heading(texts.text(TextId::TAB_Telefonbuch_Telefonbuch), Style::Heading,
                   list.grouped ? 0 : firstRows);
    for (qsizetype s = 0; s < sections.size(); ++s) {
        if (list.grouped)
            layout.heading(list.sections[s].heading, Style::GroupHeading,
                           layout.headRowHeight(table) +
                               layout.rowHeight(table, sections[s].front()));
        layout.rows(table, sections[s]);
    }
}

} // namespace

PhoneListPages::PhoneListPages(const PhoneList& list, const LanguageFile& texts,
                               QPaintDevice& device)
{
    Layout layout(texts, device);
    if (!list.firstNine.isEmpty())
        layOutFirstNine(layout, list, texts);
    if (!list.sections.isEmpty())
        layOutPhonebook(layout, list, texts);
    else {
        layout.heading(texts.text(TextId::TAB_Telefonbuch_Telefonbuch), Style::Heading, 0);
        layout.emptyNotice();
    }
    layout.headsAndFeet(list.title, list.date);
    m_pages = layout.takePages();
}

void PhoneListPages::paint(QPainter& painter, QPagedPaintDevice& device) const
{
    const qreal dpi = device.logicalDpiY();
    const QPen rule(Qt::black, 0.6 * dpi / 72.0);
    const QPen thinRule(QColor(0xb0, 0xb0, 0xb0), 0.4 * dpi / 72.0);
    const QPen text(Qt::black);
    for (qsizetype n = 0; n < m_pages.size(); ++n) {
        if (n > 0)
            device.newPage();
        const Page& page = m_pages[n];
        painter.setPen(thinRule);
        painter.drawLines(page.thinRules);
        painter.setPen(rule);
        painter.drawLines(page.rules);
        painter.setPen(text);
        for (const Text& line : page.texts) {
            painter.setFont(fontOf(line.style));
            painter.drawText(line.baseline, line.text);
        }
    }
}

bool printPhoneList(const PhoneList& list, const LanguageFile& texts, QPagedPaintDevice& device)
{
    const PhoneListPages pages(list, texts, device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    pages.paint(painter, device);
    return painter.end();
}

} // namespace q7
