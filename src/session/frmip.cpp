#include "frmip.h"

#include "joinattempt.h"

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

FrmIP::FrmIP(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmIP>() }
    , m_join { new JoinAttempt(this) }
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
    connect(m_join, &JoinAttempt::accepted, this, &FrmIP::sessionAccepted);
    connect(m_join, &JoinAttempt::refused, this, &FrmIP::sessionRefused);
    connect(m_join, &JoinAttempt::failed, this, &FrmIP::sessionFailed);

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

    lock();
    m_progress.start();
    m_ui->lblStatus->setText(QStringLiteral("Connecting, Please Wait..."));

    if (!m_join->start(m_ui->txtHost->text(), m_ui->txtPort->text().toUShort(),
                       m_ui->txtPassword->text())) {
        // The player has been told why.
        unlock();
        m_ui->lblStatus->setText(kNotFound);
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
    m_join->cancel();
    unlock();
    m_ui->lblStatus->setText(kNotFound);
}

void FrmIP::cancel()
{
    unlock();
    m_ui->lblStatus->setText(QStringLiteral("Cancelled by user request."));
    m_join->cancel();
}

void FrmIP::windowClosed()
{
    // An attempt left behind would count as a session under way.
    m_progress.stop();
    m_join->cancel();
}

void FrmIP::sessionAccepted()
{
    // The session window has the session now.
    m_progress.stop();
    close();
}

void FrmIP::sessionRefused(SessionEndpoint::Refusal reason)
{
    unlock();
    m_ui->lblStatus->setText(reason == SessionEndpoint::Refusal::WrongPassword
                                 ? QStringLiteral("Invalid Password.")
                                 : QStringLiteral("Server is full."));
}

void FrmIP::sessionFailed(int number, const QString &description)
{
    Q_UNUSED(number)
    Q_UNUSED(description)
    unlock();
    m_ui->lblStatus->setText(kNotFound);
}
