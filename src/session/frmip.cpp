#include "frmip.h"

#include "addresshelpers.h"
#include "forms.h"
#include "frmmanageip.h"
#include "frmsession.h"
#include "messagebox.h"
#include "separators.h"
#include "settings.h"
#include "storedlists.h"
#include "ui_frmip.h"
#include "vlsession.h"
#include "windowplacement.h"

namespace {

const QString kFirstEntry = QStringLiteral("- Click Here to Select Saved Host -");
const QString kNotFound = QStringLiteral("Server not found.");

void selectField(QLineEdit *field)
{
    field->setFocus();
    field->selectAll();
}

} // namespace

FrmSession *OpenJoinSession(FrmSession *own, QWidget *parent)
{
    // Turning the host's own session window into a client would close its
    // listening socket.
    const FrmSession *running = FrmSession::running();
    if (running != nullptr && running->endpoint().session().isHost) {
        msgbox::show(parent, QStringLiteral("You're a Host and cannot act as a Client!"),
                     QStringLiteral("Error"), msgbox::Icon::Warning);
        return nullptr;
    }
    if (own != nullptr)
        return own;
    if (running != nullptr && running->isVisible()) {
        msgbox::show(parent,
                     QStringLiteral("You cannot join another session while a current session is "
                                    "running.\n\nPlease close all open sessions and try again."),
                     QStringLiteral("Join Error"), msgbox::Icon::Warning);
        return nullptr;
    }
    auto *session = new FrmSession();
    session->setAttribute(Qt::WA_DeleteOnClose);
    return session;
}

void CloseJoinSession(FrmSession *session)
{
    if (session == nullptr)
        return;
    session->closeConnection();
    session->boolForceClose = true;
    session->close();
}

FrmIP::FrmIP(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmIP>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmIP"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_progress.setInterval(ProgressInterval);
    connect(&m_progress, &QTimer::timeout, this, &FrmIP::progressTick);
    connect(m_ui->cboHosts, &QComboBox::currentIndexChanged, this, &FrmIP::hostChosen);
    connect(m_ui->cmdManage, &QPushButton::clicked, this, &FrmIP::manage);
    connect(m_ui->cmdConnect, &QPushButton::clicked, this, &FrmIP::connectToHost);
    connect(m_ui->cmdCancel, &QPushButton::clicked, this, &FrmIP::cancel);
    connect(this, &QDialog::finished, this, &FrmIP::windowClosed);

    GetHostList();
}

FrmIP::~FrmIP()
{
    windowClosed();
}

FrmIP *ShowJoinWindow(QWidget *owner)
{
    return options::ShowSingle<FrmIP>(owner, QStringLiteral("FrmIP"), owner);
}

void FrmIP::setProgressInterval(int milliseconds)
{
    m_progress.setInterval(milliseconds);
}

void FrmIP::GetHostList()
{
    // A stored list cut short by hand or by an older writer offers its
    // complete triples only.
    const QStringList stored = SplitList(settings::storedHosts(), sep::ListSep);
    m_storedHosts = stored.mid(0, stored.size() - stored.size() % 3);

    const QSignalBlocker blocker(m_ui->cboHosts);
    m_ui->cboHosts->clear();
    m_ui->cboHosts->addItem(kFirstEntry);
    for (qsizetype i = 0; i < m_storedHosts.size(); i += 3)
        m_ui->cboHosts->addItem(m_storedHosts.at(i));
    m_ui->cboHosts->setCurrentIndex(0);
}

void FrmIP::hostChosen(int index)
{
    if (index <= 0) {
        m_ui->txtHost->clear();
        return;
    }
    const qsizetype first = qsizetype(index - 1) * 3;
    if (first + 2 >= m_storedHosts.size())
        return;
    m_ui->txtHost->setText(m_storedHosts.at(first + 1));
    m_ui->txtPort->setText(m_storedHosts.at(first + 2));
}

void FrmIP::manage()
{
    FrmManageIP::showFor(this);
    setEnabled(false);
}

void FrmIP::connectToHost()
{
    if (!ValidateIP(m_ui->txtHost->text())) {
        msgbox::show(this, QStringLiteral("The Host Address you entered is invalid!"),
                     QStringLiteral("Error"), msgbox::Icon::Warning);
        selectField(m_ui->txtHost);
        return;
    }
    if (!ValidatePort(m_ui->txtPort->text())) {
        msgbox::show(this, QStringLiteral("The Port Number you entered is invalid!"),
                     QStringLiteral("Error"), msgbox::Icon::Warning);
        selectField(m_ui->txtPort);
        return;
    }

    FrmSession *session = OpenJoinSession(m_session, this);
    if (session == nullptr)
        return;
    m_session = session;
    connect(session, &FrmSession::accepted, this, &FrmIP::sessionAccepted, Qt::UniqueConnection);
    connect(session, &FrmSession::refused, this, &FrmIP::sessionRefused, Qt::UniqueConnection);
    connect(session, &FrmSession::connectionFailed, this, &FrmIP::sessionFailed,
            Qt::UniqueConnection);
    session->StartUpSession(0);
    session->hide();
    session->setEnabled(false);

    lock();
    m_progress.start();
    m_ui->lblStatus->setText(QStringLiteral("Connecting, Please Wait..."));

    if (!session->SendGreeting(m_ui->txtHost->text(), m_ui->txtPort->text().toUShort(),
                               m_ui->txtPassword->text())) {
        // The session window has told the player why.
        unlock();
        m_ui->lblStatus->setText(kNotFound);
        dropSession();
    }
}

void FrmIP::lock()
{
    m_ui->ProgBar->setValue(0);
    m_ui->ProgBar->show();
    m_ui->cmdCancel->setEnabled(true);
    m_ui->cmdConnect->setEnabled(false);
    m_ui->txtHost->setEnabled(false);
    m_ui->txtPort->setEnabled(false);
    m_ui->txtPassword->setEnabled(false);
}

void FrmIP::unlock()
{
    // A tick after a refusal or an error would overwrite its message.
    m_progress.stop();
    m_ui->ProgBar->hide();
    m_ui->cmdCancel->setEnabled(false);
    m_ui->cmdConnect->setEnabled(true);
    m_ui->txtHost->setEnabled(true);
    m_ui->txtPort->setEnabled(true);
    m_ui->txtPassword->setEnabled(true);
}

void FrmIP::progressTick()
{
    if (m_ui->ProgBar->value() < m_ui->ProgBar->maximum()) {
        m_ui->ProgBar->setValue(m_ui->ProgBar->value() + 1);
        if (m_ui->ProgBar->value() < m_ui->ProgBar->maximum())
            return;
    }
    m_progress.stop();
    // The hidden session window stays for the next attempt; only its
    // connection goes.
    if (m_session != nullptr)
        m_session->closeConnection();
    unlock();
    m_ui->lblStatus->setText(kNotFound);
}

void FrmIP::cancel()
{
    unlock();
    m_ui->lblStatus->setText(QStringLiteral("Cancelled by user request."));
    dropSession();
}

void FrmIP::dropSession()
{
    FrmSession *session = m_session;
    m_session = nullptr;
    CloseJoinSession(session);
}

void FrmIP::windowClosed()
{
    // A hidden session window left behind would count as a running
    // session and block every later join and host.
    m_progress.stop();
    if (m_session != nullptr && !m_session->isVisible())
        dropSession();
}

void FrmIP::sessionAccepted()
{
    // The session window is the player's now.
    m_progress.stop();
    m_session = nullptr;
    close();
}

void FrmIP::sessionRefused(SessionEndpoint::Refusal reason)
{
    unlock();
    m_ui->lblStatus->setText(reason == SessionEndpoint::Refusal::WrongPassword
                                 ? QStringLiteral("Invalid Password.")
                                 : QStringLiteral("Server is full."));
    dropSession();
}

void FrmIP::sessionFailed(int number, const QString &description)
{
    Q_UNUSED(number)
    Q_UNUSED(description)
    unlock();
    m_ui->lblStatus->setText(kNotFound);
    // The session window closes itself after a failed connection.
    m_session = nullptr;
}
