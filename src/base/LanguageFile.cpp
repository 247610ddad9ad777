// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/LanguageFile.h"

#include "base/PcText.h"
#include "base/ProgramLanguage.h"
#include "base/RegistryKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace q7 {

namespace {

constexpr qsizetype kMaxValueLength = 2047;

QString unquoted(QString value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The cut counts characters, so a character beyond the 16-bit range is not
// split in two.
QString cutToCharacters(const QString& text, qsizetype count)
{
    qsizetype end = 0;
    for (qsizetype n = 0; n < count && end < text.size(); ++n)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    return text.left(end);
}

} // namespace

QString decodeLanguageFile(QByteArrayView content)
{
    constexpr QByteArrayView kUtf8Bom = "\xEF\xBB\xBF";
    if (content.startsWith(kUtf8Bom))
        return QString::fromUtf8(content.sliced(kUtf8Bom.size()));
    const bool onlyAscii =
        std::all_of(content.begin(), content.end(), [](char c) { return uchar(c) < 0x80; });
    if (!onlyAscii) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8(content);
        if (!utf8.hasError())
            return text;
    }
    return decodePc(content);
}

ProfileTable::ProfileTable(QStringView text)
{
    QHash<QString, QString>* current = nullptr;
    for (const QStringView rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed().toString();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = QStringView(line)
                                     .mid(1, close < 0 ? -1 : close - 1)
                                     .trimmed()
                                     .toString()
                                     .toCaseFolded();
            // The first section of a name decides: a later one of the same
            // name is never looked at.
            current = m_sections.contains(name) ? nullptr : &m_sections[name];
            continue;
        }
        if (!current)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = QStringView(line).left(equals).trimmed().toString().toCaseFolded();
        if (!current->contains(key))
            current->insert(
                key, cutToCharacters(unquoted(line.mid(equals + 1).trimmed()), kMaxValueLength));
    }
}

std::optional<QString> ProfileTable::value(QStringView section, QStringView key) const
{
    const auto found = m_sections.constFind(section.toString().toCaseFolded());
    if (found == m_sections.cend())
        return std::nullopt;
    const auto value = found->constFind(key.toString().toCaseFolded());
    if (value == found->cend())
        return std::nullopt;
    return *value;
}

QString profileString(const QByteArray& fileContent, QStringView section, QStringView key,
                      const QString& fallback)
{
    return ProfileTable(decodeLanguageFile(fileContent)).value(section, key).value_or(fallback);
}

LanguageFile::LanguageFile(QString path) : m_path(std::move(path)) {}

QString LanguageFile::pathForProgram(const QString& programPath)
{
    static const QRegularExpression threeLetterExtension(QStringLiteral("\\.[^./\\\\]{3}$"));
    if (threeLetterExtension.match(programPath).hasMatch())
        return programPath.chopped(4) + QStringLiteral(".ini");
    return programPath + QStringLiteral(".ini");
}

QString LanguageFile::locate(const QString& programPath)
{
    const QString beside = pathForProgram(programPath);
#ifndef Q_OS_WIN
    if (!QFileInfo(beside).isFile()) {
        const QFileInfo settings(openRegistryKey(kProgramKey)->fileName());
        const QString inSettingsFolder = settings.dir().filePath(QFileInfo(beside).fileName());
        if (QFileInfo(inSettingsFolder).isFile())
            return inSettingsFolder;
    }
#endif
    return beside;
}

bool LanguageFile::exists() const
{
    return !m_path.isEmpty() && QFileInfo(m_path).isFile();
}

LanguageFile::FileStamp LanguageFile::stampOf(const QString& path)
{
#ifdef Q_OS_UNIX
    // Nanoseconds and the inode: a file saved twice within a second, or
    // replaced by another of the same size, still counts as changed.
    struct stat status
    {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    return {true, qint64(status.st_size),
            qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
            qint64(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec,
            quint64(status.st_ino)};
#else
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch() * 1'000'000,
            info.metadataChangeTime().toMSecsSinceEpoch() * 1'000'000, 0};
#endif
}

const ProfileTable& LanguageFile::table() const
{
    const FileStamp stamp = stampOf(m_path);
    if (m_readStamp && *m_readStamp == stamp)
        return m_table;
    QFile file(m_path);
    m_table = stamp.exists && file.open(QIODevice::ReadOnly)
                  ? ProfileTable(decodeLanguageFile(file.readAll()))
                  : ProfileTable();
    m_readStamp = stamp;
    return m_table;
}

QString LanguageFile::lookup(QStringView section, QStringView key, const QString& fallback) const
{
    if (m_path.isEmpty())
        return fallback;
    return table().value(section, key).value_or(fallback);
}

QString LanguageFile::text(TextId id) const
{
    const TextEntry& entry = textEntry(id);
    return lookup(QString::fromLatin1(entry.section), QString::fromLatin1(entry.key),
                  defaultText(id));
}

QString LanguageFile::count(int n, TextId one, TextId many) const
{
    return n == 1 ? text(one) : text(many).arg(n);
}

QString LanguageFile::languageCode() const
{
    return lookup(QString::fromLatin1(kLanguageSection), QString::fromLatin1(kLanguageKey),
                  QString::fromLatin1(kDefaultLanguage));
}

} // namespace q7
