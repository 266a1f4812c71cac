#include "frmconnecting.h"

#include "joinattempt.h"

#include "addresshelpers.h"
#include "forms.h"
#include "frmip.h"
#include "frmsession.h"
#include "messagebox.h"
#include "ui_frmconnecting.h"
#include "vlsession.h"
#include "windowplacement.h"

namespace {

const QString kFirstLine = QStringLiteral("Attempting to connect to:");
const QString kThirdLine = QStringLiteral("Please wait...");
const QString kCancel = QStringLiteral("Cancel");

} // namespace

FrmConnecting::FrmConnecting(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmConnecting>() }
    , m_join { new JoinAttempt(this) }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmConnecting"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(m_ui->cmdRetry, &QPushButton::clicked, this, &FrmConnecting::retry);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &FrmConnecting::cancel);
    connect(this, &QDialog::finished, this, &FrmConnecting::windowClosed);
    connect(m_join, &JoinAttempt::accepted, this, &FrmConnecting::sessionAccepted);
    connect(m_join, &JoinAttempt::refused, this, &FrmConnecting::sessionRefused);
    connect(m_join, &JoinAttempt::failed, this, &FrmConnecting::sessionFailed);
}

FrmConnecting::~FrmConnecting()
{
    windowClosed();
}

FrmConnecting *ShowConnecting(QWidget *owner)
{
    return options::ShowSingle<FrmConnecting>(owner, QStringLiteral("FrmConnecting"), owner);
}

void FrmConnecting::StartConnection(const QString &Host, const QString &Port,
                                    const QString &HostName, const QString &Password)
{
    m_password = Password;
    m_ui->cmdRetry->setEnabled(false);
    m_ui->cmdCancel->setEnabled(true);
    m_ui->txtPassword->hide();
    // After a wrong password the lines and the button still tell of the
    // refusal; a new attempt starts from the opening texts.
    m_ui->lblLine1->setText(kFirstLine);
    m_ui->lblLine2->setText(HostName.isEmpty() ? QStringLiteral("Velkor Server") : HostName);
    m_ui->lblLine3->setText(kThirdLine);
    m_ui->cmdCancel->setText(kCancel);
    m_host = Host;
    m_port = Port;
    m_hostName = HostName;

    // The server record comes from a lobby and may carry anything.
    if (!ValidatePort(Port)) {
        failed();
        return;
    }
    if (!m_join->start(Host, Port.toUShort(), m_password)) {
        // The player has been told why.
        close();
    }
}

void FrmConnecting::retry()
{
    StartConnection(m_host, m_port, m_hostName, m_ui->txtPassword->text());
}

void FrmConnecting::cancel()
{
    m_join->cancel();
    close();
}

void FrmConnecting::windowClosed()
{
    m_join->cancel();
}

void FrmConnecting::failed()
{
    QWidget *owner = parentWidget();
    m_join->cancel();
    close();
    msgbox::show(owner, QStringLiteral("Error connecting to server."), QStringLiteral("Velkor"),
                 msgbox::Icon::Warning);
}

void FrmConnecting::sessionAccepted()
{
    // The session window has the session now.
    close();
}

void FrmConnecting::sessionRefused(SessionEndpoint::Refusal reason)
{
    if (reason == SessionEndpoint::Refusal::WrongPassword) {
        m_ui->lblLine1->setText(QStringLiteral("Invalid server password."));
        m_ui->lblLine2->clear();
        m_ui->lblLine3->setText(QStringLiteral("Please enter password above and try again."));
        m_ui->cmdCancel->setText(QStringLiteral("Close"));
        m_ui->cmdRetry->setEnabled(true);
        m_ui->txtPassword->show();
        m_ui->txtPassword->setFocus();
    }
    // A full server leaves the lines as they are: the player can only
    // cancel.
}

void FrmConnecting::sessionFailed(int number, const QString &description)
{
    Q_UNUSED(number)
    Q_UNUSED(description)
    failed();
}
