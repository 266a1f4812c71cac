#include "frmclean.h"

#include "programend.h"

#include "artwork.h"
#include "messagebox.h"
#include "settings.h"
#include "startup.h"

#include "ui_frmclean.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kTitle = QStringLiteral("CleanUp");

} // namespace

FrmClean::FrmClean(QWidget *parent)
    : QDialog { parent,
                Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                    | Qt::WindowCloseButtonHint }
    , m_ui { std::make_unique<Ui::FrmClean>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmClean"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(artwork::programIcon());

    QFont title = m_ui->lblTitle->font();
    title.setBold(true);
    title.setUnderline(true);
    title.setPointSizeF(title.pointSizeF() * 1.15);
    m_ui->lblTitle->setFont(title);
    m_ui->imgLogo->setPixmap(artwork::programIcon().pixmap(QSize(48, 48), devicePixelRatioF()));

    connect(m_ui->cmdClean, &QPushButton::clicked, this, &FrmClean::clean);
    connect(m_ui->cmdExit, &QPushButton::clicked, this, [] { program::end(); });
    m_ui->cmdExit->setFocus();

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

FrmClean::~FrmClean() = default;

void FrmClean::reject()
{
    program::end();
}

void FrmClean::closeEvent(QCloseEvent *event)
{
    // The close box only closes this window; Exit ends the program.
    event->accept();
}

void FrmClean::clean()
{
    if (msgbox::show(this, QStringLiteral("Are you sure you wish to clean all settings?"), kTitle,
                     msgbox::Icon::Question, msgbox::Buttons::YesNo)
        != msgbox::Answer::Yes)
        return;

    // A missing key counts as cleaned; one that is still there means the
    // store refused, and the next start would not be a first run.
    if (!settings::removeAll()) {
        msgbox::show(this,
                     QStringLiteral("Velkor 2.0 could not be cleaned: some of its settings "
                                    "could not be removed."),
                     kTitle, msgbox::Icon::Error);
        return;
    }

    msgbox::show(this,
                 QStringLiteral("Velkor 2.0 has now been cleaned and is ready for first time use."),
                 kTitle, msgbox::Icon::Information);
    program::end();
}
