#include "frmhrp.h"

#include "forms.h"
#include "frmoptions.h"
#include "optionswindows.h"
#include "settings.h"
#include "ui_frmhrp.h"
#include "vl.h"
#include "windowplacement.h"

#include <QCloseEvent>

FrmHRP::FrmHRP(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmHRP>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmHRP"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    for (QLabel *hint : { m_ui->lblHint1, m_ui->lblHint2 }) {
        QPalette palette = hint->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        hint->setPalette(palette);
    }

    connect(m_ui->cmdDefaults, &QPushButton::clicked, this, &FrmHRP::setDefaults);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmHRP::saveAndClose);

    m_ui->txtPack1->setText(settings::hrpPack1());
    m_ui->txtPack2->setText(settings::hrpPack2());
}

FrmHRP::~FrmHRP() = default;

FrmHRP *FrmHRP::showFor(QWidget *owner)
{
    return options::ShowSingle<FrmHRP>(owner, QStringLiteral("FrmHRP"), owner);
}

void FrmHRP::setDefaults()
{
    m_ui->txtPack1->setText(QStringLiteral("duke3d_hrp.zip"));
    m_ui->txtPack2->setText(QStringLiteral("hacks.zip"));
}

void FrmHRP::saveAndClose()
{
    if (!settings::setHrpPacks(m_ui->txtPack1->text(), m_ui->txtPack2->text()).ok()) {
        options::ShowNotSaved(this);
        return;
    }
    VL::instance().ReadHRP();
    close();
}

void FrmHRP::reject()
{
    close();
}

void FrmHRP::closeEvent(QCloseEvent *event)
{
    // HRP support without a first pack would start the game with nothing.
    if (VL::instance().HRPPath1.isEmpty()) {
        if (FrmOptions *options = FindForm<FrmOptions>(QStringLiteral("FrmOptions")))
            options->ClearUseHRP();
    }
    event->accept();
}
