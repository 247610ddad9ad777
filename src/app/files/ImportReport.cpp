// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/ImportReport.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "base/LanguageFile.h"
#include "base/Texts.h"
#include "fileio/FileAccess.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace q7 {

namespace {

// A card's note or address may hold line breaks; in the report they would
// start lines that look like findings of their own.
QString oneLine(const QString& line)
{
    QString result;
    result.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < line.size() && line[i + 1] == u'\n')
                ++i;
            result += QStringLiteral(" \u21B5 ");
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                   c == QChar::ParagraphSeparator) {
            result += u' ';
        } else {
            result += c;
        }
    }
    return result;
}

void saveReport(QWidget* parent, const QString& text, const QString& startFolder,
                const LanguageFile& texts)
{
    const QString path = dialogs().saveFileName(
        parent, texts.text(TextId::Datei_Operationen_ImportBericht),
        texts.text(TextId::Kontakte_BerichtDateiformat), QStringLiteral("txt"), startFolder);
    if (path.isEmpty())
        return;
    guarded([&] { writeFileAtomically(path, text.toUtf8() + '\n'); });
}

} // namespace

QString importReportText(const QStringList& lines)
{
    QStringList shown;
    shown.reserve(lines.size());
    for (const QString& line : lines)
        shown << oneLine(line);
    return shown.join(u'\n');
}

void showImportReport(QWidget* parent, const QString& title, const QStringList& lines,
                      const QString& startFolder, const LanguageFile& texts)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Frm_ImportBericht"));
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    const QString report = importReportText(lines);
    auto* text = new QPlainTextEdit(report, &dialog);
    text->setObjectName(QStringLiteral("Memo_Bericht"));
    text->setAccessibleName(title);
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    auto* save = buttons->addButton(texts.text(TextId::Kontakte_BerichtSpeichern),
                                    QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("Btn_Speichern"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(save, &QPushButton::clicked, &dialog,
                     [&] { saveReport(&dialog, report, startFolder, texts); });
    layout->addWidget(buttons);
    dialog.resize(560, 340);
    dialogs().execDialog(dialog);
}

} // namespace q7
