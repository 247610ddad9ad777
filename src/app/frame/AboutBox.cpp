// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/frame/AboutBox.h"

#include "base/AppSettings.h"
#include "base/LanguageFile.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>

namespace q7 {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

AboutBox::AboutBox(const LanguageFile& texts, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_Info"));
    setWindowTitle(texts.text(TextId::Info_Caption));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    QLabel* name = makeLabel(this, "Lbl_Programm", QStringLiteral("Q7 Manager"));
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    name->setFont(big);
    layout->addWidget(name);
    layout->addWidget(makeLabel(this, "Lbl_Version",
                                texts.text(TextId::Info_Version).arg(QLatin1String(Q7_VERSION))));
    layout->addWidget(makeLabel(this, "Lbl_Lizenz", texts.text(TextId::Info_Lizenz)));
    layout->addWidget(makeLabel(
        this, "Lbl_Qt",
        texts.text(TextId::Info_Qt).arg(QLatin1String(QT_VERSION_STR), QLatin1String(qVersion()))));

    m_rows = new QGridLayout;
    m_rows->setColumnStretch(1, 1);
    layout->addLayout(m_rows);
    const QString open = texts.text(TextId::Info_Oeffnen);
    m_openName = texts.text(TextId::Vorlesen_OrdnerOeffnen);
    const QString settings = settingsFolder();
    addFolderRow("Einstellungen", texts.text(TextId::Info_Einstellungen),
                 QDir::toNativeSeparators(settings), settings, open);
    const QString snapshots = snapshotFolder();
    addFolderRow("Sicherungen", texts.text(TextId::Info_Sicherungen),
                 QDir::toNativeSeparators(snapshots), snapshots, open);
    if (texts.exists())
        addFolderRow("Sprachdatei", texts.text(TextId::Info_Sprachdatei),
                     QDir::toNativeSeparators(QFileInfo(texts.path()).absoluteFilePath()),
                     QFileInfo(texts.path()).absolutePath(), open);
    else
        addFolderRow("Sprachdatei", texts.text(TextId::Info_Sprachdatei),
                     texts.text(TextId::Info_KeineSprachdatei), QString(), open);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(texts.text(TextId::Info_Schliessen), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("Btn_Schliessen"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

void AboutBox::addFolderRow(const char* name, const QString& caption, const QString& shown,
                            const QString& folder, const QString& openCaption)
{
    const int row = m_rows->rowCount();
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Lbl_%1").arg(QLatin1String(name)));
    auto* path = new QLabel(shown, this);
    path->setObjectName(QStringLiteral("Edt_%1").arg(QLatin1String(name)));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    path->setWordWrap(true);
    auto* button = new QPushButton(openCaption, this);
    button->setObjectName(QStringLiteral("Btn_%1").arg(QLatin1String(name)));
    button->setAutoDefault(false);
    button->setEnabled(!folder.isEmpty());
    // Three buttons say "Open": a screen reader tells them apart by their row.
    button->setAccessibleName(
        m_openName.arg(QString(caption).remove(QRegularExpression(QStringLiteral(":\\s*$")))));
    connect(button, &QPushButton::clicked, this, [folder] { openFolder(folder); });
    m_rows->addWidget(label, row, 0, Qt::AlignTop);
    m_rows->addWidget(path, row, 1);
    m_rows->addWidget(button, row, 2, Qt::AlignTop);
    m_folders << folder;
}

bool AboutBox::openFolder(const QString& folder)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace q7
