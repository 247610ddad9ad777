// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/CardDavXml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace q7::sync {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");
const QString kCalendarServer = QStringLiteral("http://calendarserver.org/ns/");

bool is(const QXmlStreamReader& xml, const QString& ns, QStringView name)
{
    return xml.namespaceUri() == ns && xml.name() == name;
}

QString textOf(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

QStringList hrefsIn(QXmlStreamReader& xml)
{
    QStringList hrefs;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"href"))
            hrefs.append(textOf(xml));
        else
            xml.skipCurrentElement();
    }
    return hrefs;
}

void readResourceType(QXmlStreamReader& xml, DavResource& into)
{
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"collection"))
            into.collection = true;
        else if (is(xml, kCardDav, u"addressbook"))
            into.addressBook = true;
        xml.skipCurrentElement();
    }
}

// An XML reader hands every line end over as LF; a vCard's lines end in
// CRLF, and a card sent back should look as the server keeps it.
QByteArray vcardLines(const QString& text)
{
    QByteArray data = text.toUtf8();
    data.replace("\r\n", "\n");
    data.replace("\n", "\r\n");
    return data;
}

void readProp(QXmlStreamReader& xml, DavResource& into)
{
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"getetag")) {
            into.etag = textOf(xml);
        } else if (is(xml, kDav, u"displayname")) {
            into.displayName = textOf(xml);
        } else if (is(xml, kDav, u"resourcetype")) {
            readResourceType(xml, into);
        } else if (is(xml, kDav, u"current-user-principal")) {
            const QStringList hrefs = hrefsIn(xml);
            into.principal = hrefs.value(0);
        } else if (is(xml, kCardDav, u"addressbook-home-set")) {
            into.homeSet = hrefsIn(xml);
        } else if (is(xml, kCalendarServer, u"getctag")) {
            into.ctag = textOf(xml);
        } else if (is(xml, kDav, u"sync-token")) {
            into.syncToken = textOf(xml);
        } else if (is(xml, kCardDav, u"address-data")) {
            // Not trimmed: the card is kept as the server gave it.
            into.addressData = vcardLines(xml.readElementText(QXmlStreamReader::SkipChildElements));
            into.hasAddressData = true;
        } else {
            xml.skipCurrentElement();
        }
    }
}

bool isSuccess(int status)
{
    return status >= 200 && status < 300;
}

// Takes what a propstat found into `into` when its status says it was found.
// Servers put the status before (Xandikos) or after (Radicale) the
// properties, so they are collected first and judged at the end.
int readPropstat(QXmlStreamReader& xml, DavResource& into)
{
    DavResource found;
    int status = 0;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"prop"))
            readProp(xml, found);
        else if (is(xml, kDav, u"status"))
            status = davStatusCode(textOf(xml));
        else
            xml.skipCurrentElement();
    }
    if (!isSuccess(status))
        return status;
    auto take = [](auto& to, const auto& from) {
        if (!from.isEmpty())
            to = from;
    };
    take(into.etag, found.etag);
    take(into.displayName, found.displayName);
    take(into.principal, found.principal);
    take(into.homeSet, found.homeSet);
    take(into.ctag, found.ctag);
    take(into.syncToken, found.syncToken);
    into.collection = into.collection || found.collection;
    into.addressBook = into.addressBook || found.addressBook;
    if (found.hasAddressData) {
        into.addressData = found.addressData;
        into.hasAddressData = true;
    }
    return status;
}

DavResource readResponse(QXmlStreamReader& xml)
{
    DavResource resource;
    int ownStatus = 0;
    int firstPropStatus = 0;
    bool anyFound = false;
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"href") && resource.href.isEmpty()) {
            resource.href = textOf(xml);
        } else if (is(xml, kDav, u"status")) {
            ownStatus = davStatusCode(textOf(xml));
        } else if (is(xml, kDav, u"propstat")) {
            const int status = readPropstat(xml, resource);
            anyFound = anyFound || isSuccess(status);
            if (firstPropStatus == 0)
                firstPropStatus = status;
        } else {
            xml.skipCurrentElement();
        }
    }
    resource.status = ownStatus != 0 ? ownStatus : anyFound ? 200 : firstPropStatus;
    return resource;
}

// Every body starts the same way: the three namespaces declared once on
// the root, with the prefixes most servers' own examples use.
void startBody(QXmlStreamWriter& out, const QString& ns, const QString& root)
{
    out.writeStartDocument();
    out.writeNamespace(kDav, QStringLiteral("d"));
    out.writeNamespace(kCardDav, QStringLiteral("card"));
    if (root == u"propfind")
        out.writeNamespace(kCalendarServer, QStringLiteral("cs"));
    out.writeStartElement(ns, root);
}

QByteArray propfind(const QList<std::pair<QString, QString>>& props)
{
    QByteArray body;
    QXmlStreamWriter out(&body);
    startBody(out, kDav, QStringLiteral("propfind"));
    out.writeStartElement(kDav, QStringLiteral("prop"));
    for (const auto& [ns, name] : props)
        out.writeEmptyElement(ns, name);
    out.writeEndDocument();
    return body;
}

} // namespace

std::optional<DavMultistatus> parseMultistatus(const QByteArray& xmlText, QString* error)
{
    QXmlStreamReader xml(xmlText);
    DavMultistatus result;
    if (!xml.readNextStartElement() || !is(xml, kDav, u"multistatus")) {
        if (error)
            *error = xml.hasError() ? xml.errorString() : QStringLiteral("no multistatus");
        return std::nullopt;
    }
    while (xml.readNextStartElement()) {
        if (is(xml, kDav, u"response"))
            result.resources.append(readResponse(xml));
        else if (is(xml, kDav, u"sync-token"))
            result.syncToken = textOf(xml);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
        return std::nullopt;
    }
    return result;
}

int davStatusCode(QStringView statusLine)
{
    const auto words = statusLine.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (words.size() < 2)
        return 0;
    bool ok = false;
    const int code = words.at(1).toInt(&ok);
    return ok ? code : 0;
}

QByteArray discoveryPropfind()
{
    return propfind({{kDav, QStringLiteral("resourcetype")},
                     {kDav, QStringLiteral("displayname")},
                     {kDav, QStringLiteral("current-user-principal")},
                     {kCardDav, QStringLiteral("addressbook-home-set")}});
}

QByteArray collectionPropfind()
{
    return propfind({{kDav, QStringLiteral("resourcetype")},
                     {kDav, QStringLiteral("displayname")},
                     {kCalendarServer, QStringLiteral("getctag")},
                     {kDav, QStringLiteral("sync-token")}});
}

QByteArray etagPropfind()
{
    return propfind({{kDav, QStringLiteral("resourcetype")}, {kDav, QStringLiteral("getetag")}});
}

QByteArray syncCollectionReport(const QString& token)
{
    QByteArray body;
    QXmlStreamWriter out(&body);
    startBody(out, kDav, QStringLiteral("sync-collection"));
    out.writeTextElement(kDav, QStringLiteral("sync-token"), token);
    out.writeTextElement(kDav, QStringLiteral("sync-level"), QStringLiteral("1"));
    out.writeStartElement(kDav, QStringLiteral("prop"));
    out.writeEmptyElement(kDav, QStringLiteral("getetag"));
    out.writeEndDocument();
    return body;
}

QByteArray multigetReport(const QStringList& hrefs)
{
    QByteArray body;
    QXmlStreamWriter out(&body);
    startBody(out, kCardDav, QStringLiteral("addressbook-multiget"));
    out.writeStartElement(kDav, QStringLiteral("prop"));
    out.writeEmptyElement(kDav, QStringLiteral("getetag"));
    out.writeEmptyElement(kCardDav, QStringLiteral("address-data"));
    out.writeEndElement();
    for (const QString& href : hrefs)
        out.writeTextElement(kDav, QStringLiteral("href"), href);
    out.writeEndDocument();
    return body;
}

} // namespace q7::sync
