// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/Contacts.h"

#include <algorithm>

namespace q7 {

namespace {

// Mobile first, as the number a person is reached at; fax and pager last.
int rankOf(int image)
{
    switch (image - kFirstNumberTypeImage) {
    case 3:
        return 0;
    case 1:
        return 1;
    case 2:
        return 2;
    case 4:
        return 4;
    case 5:
        return 5;
    default:
        return 3;
    }
}

} // namespace

QString noteDetail(const QString& text)
{
    constexpr qsizetype kShown = 60;
    const QString oneLine = QString(text).replace(u'\n', u' ');
    return oneLine.size() > kShown ? oneLine.first(kShown) + QStringLiteral("...") : oneLine;
}

QList<ContactNumber> chooseNumbers(const QList<ContactNumber>& numbers, qsizetype room,
                                   QList<ContactNumber>* leftOut)
{
    room = std::clamp<qsizetype>(room, 0, 3);
    if (numbers.size() <= room)
        return numbers;
    QList<qsizetype> order(numbers.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return rankOf(numbers[a].image) < rankOf(numbers[b].image);
    });
    QList<ContactNumber> chosen;
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (i < room)
            chosen.append(numbers[order[i]]);
        else if (leftOut)
            leftOut->append(numbers[order[i]]);
    }
    return chosen;
}

} // namespace q7
