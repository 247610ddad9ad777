// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ProgramLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace q7 {

namespace {

std::unique_ptr<QTranslator>& installedTranslator()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

void useProgramLanguage(const QString& code)
{
    const QLocale locale(code.trimmed().isEmpty() ? QString::fromLatin1(kDefaultLanguage)
                                                  : code.trimmed());
    QLocale::setDefault(locale);

    std::unique_ptr<QTranslator>& translator = installedTranslator();
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    auto next = std::make_unique<QTranslator>();
    if (next->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(next.get()))
        translator = std::move(next);
}

} // namespace q7
