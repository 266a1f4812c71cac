#include "frmnames.h"

#include "forms.h"
#include "frmoptions.h"
#include "optionswindows.h"
#include "separators.h"
#include "settings.h"
#include "storedlists.h"
#include "textlimits.h"
#include "ui_frmnames.h"
#include "windowplacement.h"

namespace {

QStringList entries(const QListWidget *list)
{
    QStringList names;
    names.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

} // namespace

FrmNames::FrmNames(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmNames>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmNames"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(m_ui->cmdAdd, &QPushButton::clicked, this, &FrmNames::addName);
    connect(m_ui->cmdHide, &QPushButton::clicked, this,
            [this] { moveSelected(m_ui->lstShow, m_ui->lstHide); });
    connect(m_ui->cmdShow, &QPushButton::clicked, this,
            [this] { moveSelected(m_ui->lstHide, m_ui->lstShow); });
    connect(m_ui->cmdClearShow, &QPushButton::clicked, m_ui->lstShow, &QListWidget::clear);
    connect(m_ui->cmdClearHide, &QPushButton::clicked, m_ui->lstHide, &QListWidget::clear);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmNames::saveAndClose);

    m_ui->txtName->setMaxLength(limits::PlayerName);
    m_ui->lstShow->addItems(SplitList(settings::otherNames(), sep::MsgSep));
    m_ui->lstHide->addItems(SplitList(settings::otherOldNames(), sep::MsgSep));
}

FrmNames::~FrmNames() = default;

FrmNames *FrmNames::showFor(QWidget *owner)
{
    return options::ShowSingle<FrmNames>(owner, QStringLiteral("FrmNames"), nullptr);
}

void FrmNames::addName()
{
    const QString name = m_ui->txtName->text();
    if (!name.isEmpty())
        m_ui->lstShow->addItem(name);
    m_ui->txtName->clear();
}

void FrmNames::moveSelected(QListWidget *from, QListWidget *to)
{
    for (int row = from->count() - 1; row >= 0; --row) {
        if (!from->item(row)->isSelected())
            continue;
        const std::unique_ptr<QListWidgetItem> item(from->takeItem(row));
        to->addItem(item->text());
    }
}

void FrmNames::saveAndClose()
{
    if (!settings::setOtherNames(JoinList(entries(m_ui->lstShow), sep::MsgSep),
                                 JoinList(entries(m_ui->lstHide), sep::MsgSep))
             .ok()) {
        options::ShowNotSaved(this);
        return;
    }
    if (FrmOptions *options = FindForm<FrmOptions>(QStringLiteral("FrmOptions")))
        options->GetOtherNames();
    close();
}
