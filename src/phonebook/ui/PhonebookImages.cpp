// SPDX-License-Identifier: GPL-3.0-or-later
#include "phonebook/ui/PhonebookImages.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

// The resource lives in a static library, so nothing pulls it in unless it
// is initialised by name; the macro has to be used outside any namespace.
static void initPhonebookImageResource()
{
    Q_INIT_RESOURCE(phonebook_images);
}

namespace q7 {

namespace {

// The files are named by their index, with as many digits as the largest.
QList<QIcon> loadImages(QLatin1StringView folder, int count, int digits)
{
    initPhonebookImageResource();
    QList<QIcon> images;
    images.reserve(count);
    for (int i = 0; i < count; ++i)
        images.append(QIcon(QPixmap(
            QStringLiteral(":/q7/%1/%2.xpm").arg(folder).arg(i, digits, 10, QLatin1Char('0')))));
    return images;
}

} // namespace

const QList<QIcon>& phonebookImages()
{
    static const QList<QIcon> images =
        loadImages(QLatin1StringView("telefonbuch"), kPhonebookImageCount, 2);
    return images;
}

const QList<QIcon>& numberImages()
{
    static const QList<QIcon> images =
        loadImages(QLatin1StringView("nummern"), kNumberImageCount, 1);
    return images;
}

QIcon combinedImage(int mainImage, int secondImage)
{
    static QHash<QPair<int, int>, QIcon> cache;
    const QPair key(mainImage, secondImage);
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    QPixmap pixmap(kPhonebookImageSize.width() + kNumberImageSize.width(),
                   kPhonebookImageSize.height());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (mainImage >= 0 && mainImage < kPhonebookImageCount)
        painter.drawPixmap(0, 0, phonebookImages()[mainImage].pixmap(kPhonebookImageSize));
    if (secondImage >= 0 && secondImage < kNumberImageCount)
        painter.drawPixmap(kPhonebookImageSize.width(), 0,
                           numberImages()[secondImage].pixmap(kNumberImageSize));
    painter.end();
    return *cache.insert(key, QIcon(pixmap));
}

} // namespace q7
