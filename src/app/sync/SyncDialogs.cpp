// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sync/SyncDialogs.h"

#include "app/common/Dialogs.h"
#include "app/common/SyncSettings.h"
#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "sync/CardDavDiscovery.h"
#include "sync/CardDavOpen.h"
#include "sync/CardDavPaths.h"
#include "sync/SyncEngine.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace q7 {

SyncChoiceDialog::SyncChoiceDialog(const SyncChoice& choice, const QStringList& httpAllowed,
                                   const LanguageFile& texts, QWidget* parent)
    : QDialog(parent), m_texts(texts), m_httpAllowed(httpAllowed), m_book(choice.book)
{
    setWindowTitle(texts.text(TextId::Abgleich_Caption));
    auto* layout = new QVBoxLayout(this);

    m_folderChoice = new QRadioButton(texts.text(TextId::AbgleichServer_ArtOrdner), this);
    layout->addWidget(m_folderChoice);
    m_folderPart = new QWidget(this);
    auto* folderLayout = new QVBoxLayout(m_folderPart);
    folderLayout->setContentsMargins(24, 0, 0, 0);
    auto* label = new QLabel(texts.text(TextId::Abgleich_Ordner), m_folderPart);
    folderLayout->addWidget(label);
    auto* row = new QHBoxLayout;
    m_location = new QLineEdit(choice.folder, m_folderPart);
    m_location->setMinimumWidth(360);
    m_location->setAccessibleName(texts.text(TextId::Abgleich_Ordner));
    label->setBuddy(m_location);
    m_choose = new QPushButton(texts.text(TextId::Abgleich_Waehlen), m_folderPart);
    row->addWidget(m_location);
    row->addWidget(m_choose);
    folderLayout->addLayout(row);
    layout->addWidget(m_folderPart);

    m_serverChoice = new QRadioButton(texts.text(TextId::AbgleichServer_ArtServer), this);
    layout->addWidget(m_serverChoice);
    m_serverPart = new QWidget(this);
    auto* form = new QFormLayout(m_serverPart);
    form->setContentsMargins(24, 0, 0, 0);
    const auto field = [&](TextId name, QLineEdit* edit) {
        edit->setAccessibleName(texts.text(name));
        form->addRow(texts.text(name), edit);
    };
    m_server = new QLineEdit(choice.serverUrl, m_serverPart);
    m_server->setPlaceholderText(QStringLiteral("https://cloud.example.org"));
    field(TextId::AbgleichServer_Adresse, m_server);
    m_user = new QLineEdit(choice.user, m_serverPart);
    field(TextId::AbgleichServer_Benutzer, m_user);
    m_password = new QLineEdit(m_serverPart);
    m_password->setEchoMode(QLineEdit::Password);
    field(TextId::AbgleichServer_Passwort, m_password);
    m_remember = new QCheckBox(texts.text(TextId::AbgleichServer_Merken), m_serverPart);
    m_remember->setChecked(choice.remember);
    form->addRow(QString(), m_remember);
    m_test = new QPushButton(texts.text(TextId::AbgleichServer_Testen), m_serverPart);
    m_status = new QLabel(m_serverPart);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(m_test, m_status);
    m_books = new QListWidget(m_serverPart);
    m_books->setAccessibleName(texts.text(TextId::AbgleichServer_Gefunden));
    m_books->setMinimumHeight(90);
    form->addRow(texts.text(TextId::AbgleichServer_Gefunden), m_books);
    if (!choice.book.isEmpty()) {
        // The one chosen last time, until a test lists them all again.
        auto* item = new QListWidgetItem(choice.book, m_books);
        item->setData(Qt::UserRole, choice.book);
        m_books->setCurrentItem(item);
    }
    layout->addWidget(m_serverPart);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    startButton()->setText(texts.text(TextId::Abgleich_Weiter));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &SyncChoiceDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    (choice.server ? m_serverChoice : m_folderChoice)->setChecked(true);
    connect(m_folderChoice, &QRadioButton::toggled, this, &SyncChoiceDialog::update);
    connect(m_location, &QLineEdit::textChanged, this, &SyncChoiceDialog::update);
    connect(m_server, &QLineEdit::textChanged, this, [this] {
        // Another server: the books found on the last one no longer apply.
        m_books->clear();
        m_status->clear();
        update();
    });
    connect(m_user, &QLineEdit::textChanged, this, [this] { m_status->clear(); });
    connect(m_books, &QListWidget::currentItemChanged, this, &SyncChoiceDialog::update);
    connect(m_test, &QPushButton::clicked, this, &SyncChoiceDialog::testConnection);
    connect(m_choose, &QPushButton::clicked, this, [this, &texts] {
        const QString folder = QFileDialog::getExistingDirectory(
            this, texts.text(TextId::Abgleich_Ordner), m_location->text().trimmed());
        if (!folder.isEmpty())
            m_location->setText(folder);
    });
    update();
}

void SyncChoiceDialog::update()
{
    const bool server = m_serverChoice->isChecked();
    m_folderPart->setEnabled(!server);
    m_serverPart->setEnabled(server);
    m_test->setEnabled(sync::isServerLocation(m_server->text().trimmed()));
    bool ready = false;
    if (!server)
        ready = !m_location->text().trimmed().isEmpty();
    else if (m_books->count() > 1)
        ready = m_books->currentItem() != nullptr;
    else
        ready = sync::isServerLocation(m_server->text().trimmed());
    startButton()->setEnabled(ready);
}

SyncChoice SyncChoiceDialog::choice() const
{
    SyncChoice choice;
    choice.server = m_serverChoice->isChecked();
    choice.folder = m_location->text().trimmed();
    choice.serverUrl = m_server->text().trimmed();
    choice.user = m_user->text().trimmed();
    if (const QListWidgetItem* item = m_books->currentItem())
        choice.book = item->data(Qt::UserRole).toString();
    choice.remember = m_remember->isChecked();
    return choice;
}

QString SyncChoiceDialog::location() const
{
    const SyncChoice chosen = choice();
    if (!chosen.server)
        return chosen.folder;
    return chosen.book.isEmpty() ? chosen.serverUrl : chosen.book;
}

QString SyncChoiceDialog::password() const
{
    return m_password->text();
}

QPushButton* SyncChoiceDialog::startButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

bool SyncChoiceDialog::plainHttpAllowed() const
{
    return m_httpAllowed.contains(serverKey(QUrl(m_server->text().trimmed())));
}

bool SyncChoiceDialog::mayUsePlainHttp()
{
    const QUrl url(m_server->text().trimmed());
    if (url.scheme().compare(u"http", Qt::CaseInsensitive) != 0 || sync::isLoopback(url) ||
        plainHttpAllowed())
        return true;
    const auto answer = dialogs().message(
        this, QMessageBox::Warning, m_texts.text(TextId::AbgleichServer_HttpCaption),
        fillIn(m_texts.text(TextId::AbgleichServer_HttpFrage), {serverKey(url)}),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return false;
    m_httpAllowed.append(serverKey(url));
    return true;
}

void SyncChoiceDialog::testConnection()
{
    const QUrl url(m_server->text().trimmed());
    if (!mayUsePlainHttp())
        return;
    QString password = m_password->text();
    if (password.isEmpty() && m_storedPassword)
        password = m_storedPassword();
    m_status->setText(m_texts.text(TextId::AbgleichServer_Teste));
    m_test->setEnabled(false);
    const QString previous = location();
    QList<sync::FoundAddressBook> found;
    QString failure;
    try {
        sync::CardDavClient client(
            sync::CardDavLogin{url, m_user->text().trimmed(), password, plainHttpAllowed()});
        found = sync::discoverAddressBooks(client);
    } catch (const Q7Error& error) {
        failure = error.messageIn(m_texts);
    }
    m_test->setEnabled(true);
    m_books->clear();
    if (!failure.isEmpty()) {
        m_status->setText(fillIn(m_texts.text(TextId::AbgleichServer_Fehler), {failure}));
        update();
        return;
    }
    QStringList names;
    for (const sync::FoundAddressBook& book : found) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1 (%2)").arg(book.name, book.url.path()), m_books);
        item->setData(Qt::UserRole, book.url.toString());
        if (book.url.toString() == previous || found.size() == 1)
            m_books->setCurrentItem(item);
        names.append(book.name);
    }
    m_status->setText(
        fillIn(m_texts.text(TextId::AbgleichServer_Ergebnis),
               {serverKey(url), QString::number(found.size()), names.join(QStringLiteral(", "))}));
    update();
}

void SyncChoiceDialog::accept()
{
    if (m_serverChoice->isChecked() && !mayUsePlainHttp())
        return;
    QDialog::accept();
}

SyncPlanDialog::SyncPlanDialog(sync::SyncRun& run, const LanguageFile& texts, QWidget* parent)
    : QDialog(parent), m_run(run), m_texts(texts)
{
    setWindowTitle(texts.text(TextId::Abgleich_PlanCaption));
    resize(680, 520);
    auto* layout = new QVBoxLayout(this);
    m_plan = new QPlainTextEdit(this);
    m_plan->setReadOnly(true);
    m_plan->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_plan->setAccessibleName(texts.text(TextId::Abgleich_PlanCaption));
    layout->addWidget(m_plan, 2);
    auto* conflictsLabel = new QLabel(texts.text(TextId::Abgleich_Konflikte), this);
    layout->addWidget(conflictsLabel);
    m_conflicts = new QTreeWidget(this);
    m_conflicts->setRootIsDecorated(false);
    m_conflicts->setHeaderLabels({texts.text(TextId::Plan_Name), texts.text(TextId::Abgleich_Feld),
                                  texts.text(TextId::Abgleich_Gilt)});
    m_conflicts->setAccessibleName(texts.text(TextId::Abgleich_Konflikte));
    conflictsLabel->setBuddy(m_conflicts);
    layout->addWidget(m_conflicts, 1);
    m_allowDeletions = new QCheckBox(texts.text(TextId::Abgleich_TrotzdemLoeschen), this);
    layout->addWidget(m_allowDeletions);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    startButton()->setText(texts.text(TextId::Abgleich_Start));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_allowDeletions, &QCheckBox::toggled, this, &SyncPlanDialog::showPlan);
    fillConflicts();
    conflictsLabel->setVisible(m_conflicts->topLevelItemCount() > 0);
    m_conflicts->setVisible(m_conflicts->topLevelItemCount() > 0);
    showPlan();
}

QPushButton* SyncPlanDialog::startButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

void SyncPlanDialog::fillConflicts()
{
    const QList<sync::SyncItem>& items = m_run.items();
    for (qsizetype index = 0; index < items.size(); ++index) {
        for (const sync::FieldConflict& conflict : items[index].merge.conflicts) {
            auto* row = new QTreeWidgetItem(
                m_conflicts, {items[index].name(), m_run.fieldLabel(conflict), QString()});
            row->setData(0, Qt::UserRole, QVariant::fromValue(index));
            row->setData(1, Qt::UserRole, conflict.key);
            auto* choice = new QComboBox(m_conflicts);
            choice->addItem(m_texts.text(TextId::Abgleich_Offen));
            choice->addItem(
                fillIn(m_texts.text(TextId::Abgleich_HandyGilt),
                       {m_run.conflictValue(conflict, items[index], sync::Side::Handset)}));
            choice->addItem(
                fillIn(m_texts.text(TextId::Abgleich_AdressbuchGilt),
                       {m_run.conflictValue(conflict, items[index], sync::Side::AddressBook)}));
            choice->setAccessibleName(items[index].name() + u' ' + m_run.fieldLabel(conflict));
            const int rowIndex = m_conflicts->topLevelItemCount() - 1;
            connect(choice, &QComboBox::currentIndexChanged, this,
                    [this, rowIndex](int chosen) { choose(rowIndex, chosen); });
            m_conflicts->setItemWidget(row, 2, choice);
        }
    }
    m_conflicts->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

void SyncPlanDialog::choose(int row, int choice)
{
    QTreeWidgetItem* item = m_conflicts->topLevelItem(row);
    if (!item)
        return;
    if (auto* combo = qobject_cast<QComboBox*>(m_conflicts->itemWidget(item, 2));
        combo && combo->currentIndex() != choice) {
        combo->setCurrentIndex(choice); // comes back here through its signal
        return;
    }
    const qsizetype index = item->data(0, Qt::UserRole).value<qsizetype>();
    const QString key = item->data(1, Qt::UserRole).toString();
    if (choice == 0)
        m_run.leaveOpen(index, key);
    else
        m_run.choose(index, key, choice == 1 ? sync::Side::Handset : sync::Side::AddressBook);
    showPlan();
}

void SyncPlanDialog::showPlan()
{
    QStringList lines = m_run.planLines();
    const bool tooMuch = m_run.deletesTooMuch();
    if (tooMuch)
        lines.prepend(m_run.deletionWarning() + u'\n');
    m_plan->setPlainText(lines.join(u'\n'));
    m_allowDeletions->setVisible(tooMuch);
    startButton()->setEnabled(!tooMuch || m_allowDeletions->isChecked());
}

} // namespace q7
