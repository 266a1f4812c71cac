#include "frmmanageip.h"

#include "addresshelpers.h"
#include "forms.h"
#include "frmip.h"
#include "messagebox.h"
#include "separators.h"
#include "settings.h"
#include "storedlists.h"
#include "ui_frmmanageip.h"
#include "windowplacement.h"

#include <QSignalBlocker>

namespace {

const QString kDefaultPort = QStringLiteral("8501");

void focusField(QLineEdit *field)
{
    field->setFocus();
    field->selectAll();
}

} // namespace

FrmManageIP::FrmManageIP(QWidget *owner)
    : QDialog { nullptr }
    , m_ui { std::make_unique<Ui::FrmManageIP>() }
    , m_owner { owner }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmManageIP"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(m_ui->lstHosts, &QTreeWidget::itemClicked, this, &FrmManageIP::entryChosen);
    connect(m_ui->lstHosts, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> selected = m_ui->lstHosts->selectedItems();
        if (selected.size() == 1)
            entryChosen(selected.first());
    });
    connect(m_ui->cmdAdd, &QPushButton::clicked, this, &FrmManageIP::addOrUpdate);
    connect(m_ui->cmdRemove, &QPushButton::clicked, this, &FrmManageIP::removeEntry);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmManageIP::saveAndClose);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(this, &QDialog::finished, this, &FrmManageIP::releaseOwner);
    if (owner != nullptr)
        connect(owner, &QObject::destroyed, this, &QWidget::close);

    // A stored list may have been cut short by hand or by an older writer:
    // only complete triples become entries.
    const QStringList stored = SplitList(settings::storedHosts(), sep::ListSep);
    for (qsizetype i = 0; i + 2 < stored.size(); i += 3)
        m_ui->lstHosts->addTopLevelItem(
            new QTreeWidgetItem(QStringList { stored.at(i), stored.at(i + 1), stored.at(i + 2) }));
    for (int column = 0; column < m_ui->lstHosts->columnCount(); ++column)
        m_ui->lstHosts->resizeColumnToContents(column);
}

FrmManageIP::~FrmManageIP()
{
    releaseOwner();
}

FrmManageIP *FrmManageIP::showFor(QWidget *owner)
{
    return options::ShowSingle<FrmManageIP>(owner, QStringLiteral("FrmManageIP"), nullptr);
}

void FrmManageIP::releaseOwner()
{
    if (m_owner != nullptr)
        m_owner->setEnabled(true);
    m_owner = nullptr;
}

void FrmManageIP::entryChosen(QTreeWidgetItem *item)
{
    const int index = m_ui->lstHosts->indexOfTopLevelItem(item);
    if (index < 0)
        return;
    m_ui->txtHostName->setText(item->text(0));
    m_ui->txtHost->setText(item->text(1));
    m_ui->txtPort->setText(item->text(2));
    m_editIndex = index;
    m_ui->cmdAdd->setText(tr("&Update"));
}

void FrmManageIP::addOrUpdate()
{
    const QString name = m_ui->txtHostName->text();
    const QString host = m_ui->txtHost->text();
    const QString port = m_ui->txtPort->text();
    if (name.isEmpty()) {
        msgbox::show(this, QStringLiteral("Please enter a host name."), QStringLiteral("Error"),
                     msgbox::Icon::Error);
        focusField(m_ui->txtHostName);
        return;
    }
    if (!ValidateIP(host)) {
        msgbox::show(this, QStringLiteral("IP Address entered is not valid."),
                     QStringLiteral("Error"), msgbox::Icon::Error);
        focusField(m_ui->txtHost);
        return;
    }
    if (!ValidatePort(port)) {
        msgbox::show(this, QStringLiteral("Port number entered is not valid."),
                     QStringLiteral("Error"), msgbox::Icon::Error);
        focusField(m_ui->txtPort);
        return;
    }

    QTreeWidgetItem *edited
        = m_editIndex >= 0 ? m_ui->lstHosts->topLevelItem(m_editIndex) : nullptr;
    if (edited != nullptr) {
        edited->setText(0, name);
        edited->setText(1, host);
        edited->setText(2, port);
    } else {
        m_ui->lstHosts->addTopLevelItem(new QTreeWidgetItem(QStringList { name, host, port }));
    }
    clearEdit();
}

void FrmManageIP::removeEntry()
{
    const QList<QTreeWidgetItem *> selected = m_ui->lstHosts->selectedItems();
    if (selected.isEmpty())
        return;
    {
        // The list would select the next row by itself, which would load it
        // for editing behind the player's back.
        const QSignalBlocker blocker(m_ui->lstHosts);
        for (QTreeWidgetItem *item : selected)
            delete item;
        m_ui->lstHosts->clearSelection();
        m_ui->lstHosts->setCurrentItem(nullptr);
    }
    // The remembered row may now name another host or none: forget it.
    clearEdit();
}

void FrmManageIP::clearEdit()
{
    m_editIndex = -1;
    m_ui->cmdAdd->setText(tr("&Add"));
    m_ui->txtHostName->clear();
    m_ui->txtHost->clear();
    m_ui->txtPort->setText(kDefaultPort);
}

void FrmManageIP::saveAndClose()
{
    QStringList fields;
    for (int row = 0; row < m_ui->lstHosts->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = m_ui->lstHosts->topLevelItem(row);
        fields << item->text(0) << item->text(1) << item->text(2);
    }
    settings::setStoredHosts(JoinList(fields, sep::ListSep));
    if (FrmIP *join = FindForm<FrmIP>(QStringLiteral("FrmIP")))
        join->GetHostList();
    close();
}
