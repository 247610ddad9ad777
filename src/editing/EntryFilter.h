#pragma once

#include "phonebook/RecordStore.h"

#include <QString>
#include <QStringView>

namespace q7 {

// Find as you type: which entries of the phonebook tree a typed text finds.
// A name matches when it contains the text without regard to case or
// accents (ä finds a, é finds e). A number matches when its digits contain
// the text's digits, so that spaces, dashes and brackets on either side
// never hide a match; a text without digits finds no number.
class EntryFilter
{
public:
    explicit EntryFilter(QStringView text = {});

    bool isEmpty() const { return m_text.isEmpty(); }
    // An empty filter finds everything.
    bool matches(const RecordStore& store, int record) const;

private:
    QString m_text;   // folded
    QString m_digits; // the digits alone
};

// Lower case without accents: the form names are compared in.
QString foldForSearch(QStringView text);
// The digits of a text, in order.
QString digitsOf(QStringView text);

} // namespace q7
