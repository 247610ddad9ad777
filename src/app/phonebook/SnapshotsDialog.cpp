// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/phonebook/SnapshotsDialog.h"

#include "app/common/Dialogs.h"
#include "app/common/ErrorBox.h"
#include "app/common/PlanList.h"
#include "app/common/SyncSettings.h"
#include "base/AppSettings.h"
#include "base/LanguageFile.h"
#include "base/OperationHost.h"
#include "base/RegistryKey.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/WritePlan.h"
#include "sync/CardMapping.h"
#include "sync/CardRestore.h"
#include "sync/Keyring.h"
#include "sync/OpenAddressBook.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace q7 {

SnapshotsDialog::SnapshotsDialog(const QList<SnapshotInfo>& snapshots, const RecordStore& window,
                                 const LanguageFile& texts, QWidget* parent,
                                 const QList<CardCopyInfo>& cardCopies)
    : QDialog(parent), m_infos(snapshots), m_cardCopies(cardCopies), m_window(window),
      m_texts(texts), m_stateFolder(sync::SyncState::defaultFolder())
{
    setObjectName(QStringLiteral("SnapshotsDialog"));
    setWindowTitle(texts.text(TextId::Sicherungen_Caption));
    auto* layout = new QVBoxLayout(this);

    m_snapshots = new QTreeWidget(this);
    m_snapshots->setObjectName(QStringLiteral("TV_Sicherungen"));
    m_snapshots->setAccessibleName(texts.text(TextId::Sicherungen_Caption));
    m_snapshots->setRootIsDecorated(false);
    m_snapshots->setHeaderHidden(true);
    m_snapshots->setColumnCount(3);
    // Both kinds by time, newest first; each row knows which it is: its
    // index among the snapshots, or among the card copies after them.
    const auto row = [&](const QDateTime& time, const QString& count, const QString& reason,
                         qsizetype index) {
        auto* item = new QTreeWidgetItem(m_snapshots);
        item->setText(0, QLocale().toString(time.toLocalTime(), QLocale::ShortFormat));
        item->setText(1, count);
        item->setText(2, reason);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, Qt::UserRole, QVariant::fromValue(index));
    };
    qsizetype h = 0;
    qsizetype c = 0;
    while (h < m_infos.size() || c < m_cardCopies.size()) {
        if (c >= m_cardCopies.size() ||
            (h < m_infos.size() && m_infos[h].time >= m_cardCopies[c].time)) {
            row(m_infos[h].time, QString::number(m_infos[h].entries),
                snapshotReasonText(m_infos[h].reason, texts), h);
            ++h;
        } else {
            row(m_cardCopies[c].time, cardCount(m_cardCopies[c].cards, texts),
                cardCopyReasonText(m_cardCopies[c], texts), m_infos.size() + c);
            ++c;
        }
    }
    m_snapshots->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_snapshots->setMinimumSize(520, 160);
    layout->addWidget(m_snapshots);

    if (m_infos.isEmpty() && m_cardCopies.isEmpty()) {
        auto* none = new QLabel(texts.text(TextId::Sicherungen_Keine), this);
        none->setObjectName(QStringLiteral("Lbl_Keine"));
        layout->addWidget(none);
    }

    // What the window would change on the handset if this snapshot were it.
    m_differences = makePlanList(QStringLiteral("LB_Unterschiede"), this);
    m_differences->setAccessibleName(texts.text(TextId::Vorlesen_Unterschiede));
    m_differences->setMinimumHeight(160);
    layout->addWidget(m_differences, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_load =
        buttons->addButton(texts.text(TextId::Sicherungen_Laden), QDialogButtonBox::AcceptRole);
    m_load->setDefault(true);
    m_putBack = buttons->addButton(texts.text(TextId::Kartenkopien_Zuruecklegen),
                                   QDialogButtonBox::ActionRole);
    m_putBack->setObjectName(QStringLiteral("Btn_Zuruecklegen"));
    m_putBack->setEnabled(false);
    connect(m_putBack, &QPushButton::clicked, this, &SnapshotsDialog::putBackCards);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_snapshots, &QTreeWidget::currentItemChanged, this, &SnapshotsDialog::showDifferences);
    if (m_snapshots->topLevelItemCount() == 0)
        m_load->setEnabled(false);
    else
        m_snapshots->setCurrentItem(m_snapshots->topLevelItem(0));
}

std::optional<SnapshotInfo> SnapshotsDialog::chosen() const
{
    const QTreeWidgetItem* item = m_snapshots->currentItem();
    if (!item)
        return std::nullopt;
    const qsizetype index = item->data(0, Qt::UserRole).value<qsizetype>();
    if (index < 0 || index >= m_infos.size())
        return std::nullopt;
    return m_infos[index];
}

std::optional<CardCopyInfo> SnapshotsDialog::chosenCardCopy() const
{
    const QTreeWidgetItem* item = m_snapshots->currentItem();
    if (!item)
        return std::nullopt;
    const qsizetype index = item->data(0, Qt::UserRole).value<qsizetype>() - m_infos.size();
    if (index < 0 || index >= m_cardCopies.size())
        return std::nullopt;
    return m_cardCopies[index];
}

void SnapshotsDialog::showDifferences()
{
    m_differences->clear();
    const std::optional<CardCopyInfo> copy = chosenCardCopy();
    m_load->setEnabled(!copy && chosen());
    m_putBack->setEnabled(copy && !copy->addressBook.isEmpty());
    if (copy) {
        // The cards by name; what putting them back would change is told
        // once the address book is read.
        guarded([&] {
            if (copy->addressBook.isEmpty()) {
                const qsizetype number =
                    m_snapshots->currentItem()->data(0, Qt::UserRole).value<qsizetype>() -
                    m_infos.size() + 1;
                m_differences->addItem(fillIn(m_texts.text(TextId::Kartenkopien_KeinAdressbuch),
                                              {u'c' + QString::number(number)}));
            }
            for (const KeptCard& card : Snapshots::loadCards(*copy))
                m_differences->addItem(sync::CardMapping(card.data).fields().name);
        });
        return;
    }
    const std::optional<SnapshotInfo> info = chosen();
    if (!info)
        return;
    // The snapshot as if it were the handset: a write of the window onto it
    // is exactly what tells them apart.
    HandsetImage image;
    image.takeRead(Snapshots::load(*info));
    const WritePlan plan = planWrite(m_window, image, false, true);
    m_differences->addItem(planCounts(plan, m_texts));
    m_differences->addItems(planLines(plan, m_window, image, m_texts));
}

namespace {

// Who may reach the server a card copy came from: the user the sync's
// choice remembered, the password from the keyring or else asked for, and
// plain http:// where the user agreed to it for that server.
std::optional<sync::ServerAccess> serverAccess(const QUrl& server, const LanguageFile& texts,
                                               QWidget* parent)
{
    auto settings = openRegistryKey(kProgramKey);
    sync::ServerAccess access;
    access.user = settings->value(syncsettings::kUser).toString();
    access.allowPlainHttp =
        settings->value(syncsettings::kHttpAllowed).toStringList().contains(serverKey(server));
    if (access.user.isEmpty())
        return access;
    const sync::Keyring::Lookup stored = sync::Keyring::read(server, access.user);
    if (stored.outcome == sync::Keyring::Outcome::Done) {
        access.password = stored.password;
        return access;
    }
    const std::optional<QString> password = askPassword(parent, texts, server, access.user);
    if (!password)
        return std::nullopt;
    access.password = *password;
    return access;
}

} // namespace

void SnapshotsDialog::putBackCards()
{
    const std::optional<CardCopyInfo> copy = chosenCardCopy();
    if (!copy || copy->addressBook.isEmpty())
        return;
    guarded([&] {
        sync::ServerAccess access;
        if (sync::isServerLocation(copy->addressBook)) {
            const std::optional<sync::ServerAccess> given =
                serverAccess(QUrl(copy->addressBook), m_texts, this);
            if (!given)
                return;
            access = *given;
        }
        const std::unique_ptr<sync::AddressBook> book =
            sync::openAddressBook(copy->addressBook, access);
        sync::CardRestore restore(*book, Snapshots::loadCards(*copy), m_texts, m_stateFolder);
        restore.plan();
        m_differences->clear();
        m_differences->addItems(restore.planLines());
        if (!restore.anythingToDo()) {
            dialogs().message(this, QMessageBox::Information,
                              m_texts.text(TextId::Kartenkopien_FrageCaption),
                              m_texts.text(TextId::Kartenkopien_Nichts), QMessageBox::Ok);
            return;
        }
        if (dialogs().message(
                this, QMessageBox::Question, m_texts.text(TextId::Kartenkopien_FrageCaption),
                restore.planLines().join(u'\n') + QStringLiteral("\n\n") +
                    m_texts.text(TextId::Kartenkopien_Frage),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        OperationHost host;
        const sync::CardRestore::Result result = restore.carryOut(host);
        dialogs().message(
            this, result.problems.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
            m_texts.text(TextId::Kartenkopien_FrageCaption),
            restore.summaryLines(result).join(u'\n'), QMessageBox::Ok);
    });
}

} // namespace q7
