#include "frmhostnames.h"

#include "forms.h"
#include "frmserveroptions.h"
#include "messagebox.h"
#include "separators.h"
#include "settings.h"
#include "storedlists.h"
#include "ui_frmhostnames.h"
#include "windowplacement.h"

#include <QSignalBlocker>

namespace {

} // namespace

FrmHostNames::FrmHostNames(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmHostNames>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmHostNames"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(m_ui->lstNames, &QListWidget::itemClicked, this, &FrmHostNames::entryChosen);
    connect(m_ui->lstNames, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem *> selected = m_ui->lstNames->selectedItems();
        if (selected.size() == 1)
            entryChosen(selected.first());
    });
    connect(m_ui->cmdAdd, &QPushButton::clicked, this, &FrmHostNames::addOrChange);
    connect(m_ui->cmdRemove, &QPushButton::clicked, this, &FrmHostNames::removeSelected);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmHostNames::saveAndClose);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &QWidget::close);

    m_ui->lstNames->addItems(SplitList(settings::hostNames(), sep::ListSep));
}

FrmHostNames::~FrmHostNames() = default;

FrmHostNames *FrmHostNames::showFor(QWidget *owner)
{
    return options::ShowSingle<FrmHostNames>(owner, QStringLiteral("FrmHostNames"), nullptr);
}

void FrmHostNames::entryChosen(QListWidgetItem *item)
{
    const int row = m_ui->lstNames->row(item);
    if (row < 0)
        return;
    m_ui->txtName->setText(item->text());
    m_editIndex = row;
    m_ui->cmdAdd->setText(tr("&Change"));
}

void FrmHostNames::addOrChange()
{
    const QString name = m_ui->txtName->text();
    if (name.isEmpty()) {
        msgbox::show(this, QStringLiteral("Please enter a host name to continue."),
                     QStringLiteral("Error"), msgbox::Icon::Error);
        m_ui->txtName->setFocus();
        return;
    }
    QListWidgetItem *edited = m_editIndex >= 0 ? m_ui->lstNames->item(m_editIndex) : nullptr;
    if (edited != nullptr)
        edited->setText(name);
    else
        m_ui->lstNames->addItem(name);
    clearEdit();
}

void FrmHostNames::removeSelected()
{
    const QList<QListWidgetItem *> selected = m_ui->lstNames->selectedItems();
    if (selected.isEmpty())
        return;
    {
        const QSignalBlocker blocker(m_ui->lstNames);
        for (QListWidgetItem *item : selected)
            delete item;
        m_ui->lstNames->clearSelection();
    }
    clearEdit();
}

void FrmHostNames::clearEdit()
{
    m_editIndex = -1;
    m_ui->cmdAdd->setText(tr("&Add"));
    m_ui->txtName->clear();
}

void FrmHostNames::saveAndClose()
{
    QStringList names;
    names.reserve(m_ui->lstNames->count());
    for (int row = 0; row < m_ui->lstNames->count(); ++row)
        names.append(m_ui->lstNames->item(row)->text());
    settings::setHostNames(JoinList(names, sep::ListSep));
    if (FrmServerOptions *options = FindForm<FrmServerOptions>(QStringLiteral("FrmServerOptions")))
        options->UpdateHosts();
    close();
}
