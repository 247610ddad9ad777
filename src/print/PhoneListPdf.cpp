// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PhoneListPdf.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "fileio/FileAccess.h"
#include "print/PhoneList.h"
#include "print/PhoneListPages.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPdfWriter>

namespace q7 {

QPageSize phoneListPageSize(const QLocale& system)
{
    return QPageSize(system.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                             : QPageSize::A4);
}

void setUpPhoneListPage(QPagedPaintDevice& device, const QLocale& system)
{
    device.setPageSize(phoneListPageSize(system));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
}

bool isPdfPath(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

QByteArray phoneListPdf(const PhoneList& list, const LanguageFile& texts, const QLocale& system)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(list.title);
        writer.setCreator(QStringLiteral("Q7 Manager"));
        setUpPhoneListPage(writer, system);
        if (!printPhoneList(list, texts, writer))
            throw Q7Error(TextId::Drucken_PdfFehler, {});
    }
    return buffer.data();
}

void writePhoneListPdf(const QString& path, const PhoneList& list, const LanguageFile& texts)
{
    writeFileAtomically(path, phoneListPdf(list, texts));
}

} // namespace q7
