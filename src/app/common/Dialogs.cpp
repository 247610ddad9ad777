// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/common/Dialogs.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QIcon>
#include <QRegularExpression>

namespace q7 {

namespace {

class RealDialogs final : public Dialogs
{
public:
    QMessageBox::StandardButton message(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton,
                                        const ButtonCaptions& captions) override
    {
        QMessageBox box(icon, title, text, buttons, parent);
        box.setDefaultButton(defaultButton);
        for (const auto& [button, caption] : captions)
            if (QAbstractButton* shown = box.button(button)) {
                shown->setText(caption);
                // The style's tick and cross would still say yes and no.
                shown->setIcon(QIcon());
            }
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString openFileName(QWidget* parent, const QString& title, const QString& windowsFilter,
                         const QString& defaultSuffix, const QString& startFolder) override
    {
        return runFileDialog(parent, title, windowsFilter, defaultSuffix, startFolder,
                             QFileDialog::AcceptOpen);
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& windowsFilter,
                         const QString& defaultSuffix, const QString& startFolder) override
    {
        return runFileDialog(parent, title, windowsFilter, defaultSuffix, startFolder,
                             QFileDialog::AcceptSave);
    }

    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override
    {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

private:
    static QString runFileDialog(QWidget* parent, const QString& title,
                                 const QString& windowsFilter, const QString& defaultSuffix,
                                 const QString& startFolder, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, title, startFolder);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(qtFileFilter(windowsFilter));
        dialog.setDefaultSuffix(defaultSuffix);
        // A name typed without an extension gets the chosen filter's, so
        // that the extension tells which format the user chose.
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
                static const QRegularExpression extension(QStringLiteral("\\*\\.(\\w+)"));
                if (const auto match = extension.match(filter); match.hasMatch())
                    dialog.setDefaultSuffix(match.captured(1));
            });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

RealDialogs g_realDialogs;
Dialogs* g_dialogs = &g_realDialogs;

} // namespace

Dialogs& dialogs()
{
    return *g_dialogs;
}

DialogsOverride::DialogsOverride(Dialogs& replacement) : m_previous(g_dialogs)
{
    g_dialogs = &replacement;
}

DialogsOverride::~DialogsOverride()
{
    g_dialogs = m_previous;
}

QString qtFileFilter(const QString& windowsFilter)
{
    const QStringList parts = windowsFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = parts.value(i + 1).trimmed().replace(u';', u' ');
        if (patterns.isEmpty()) {
            if (!description.isEmpty())
                filters << description;
            continue;
        }
        // Qt takes the patterns from the last parentheses; a description
        // that already shows them ("... (*.csv)") must not show them twice.
        const QString shown = QStringLiteral("(%1)").arg(patterns);
        filters << (description.endsWith(shown) ? description
                                                : QStringLiteral("%1 %2").arg(description, shown));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace q7
