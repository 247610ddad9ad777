#include "app/ImportReport.h"

#include "app/Dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace q7 {

void showImportReport(QWidget* parent, const QString& title, const QStringList& lines)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Frm_ImportBericht"));
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QPlainTextEdit(lines.join(u'\n'), &dialog);
    text->setObjectName(QStringLiteral("Memo_Bericht"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(560, 340);
    dialogs().execDialog(dialog);
}

} // namespace q7
