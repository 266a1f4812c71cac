#include "frmoptions.h"

#include "programend.h"

#include "addresshelpers.h"
#include "browsefolder.h"
#include "findip.h"
#include "forms.h"
#include "frmhrp.h"
#include "frmnames.h"
#include "localaddress.h"
#include "messagebox.h"
#include "optionswindows.h"
#include "paths.h"
#include "porttable.h"
#include "separators.h"
#include "settings.h"
#include "settingsevents.h"
#include "settingsstore.h"
#include "storedlists.h"
#include "streamsocket.h"
#include "tables.h"
#include "textlimits.h"
#include "ui_frmoptions.h"
#include "vl.h"
#include "vlsession.h"
#include "webfetch.h"
#include "windowplacement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace {

constexpr int kPageCount = 4;
constexpr int kProgressMaximum = 20;
const QString kDefaultNetPort = QStringLiteral("8500");

// A flag as the store writes it.
QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// The comments box works with line feeds; the stored text keeps the
// program's usual CR LF line breaks.
QString commentsFromStore(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString commentsToStore(QString text)
{
    return text.replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

FrmOptions::FrmOptions(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmOptions>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmOptions"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_sockNetDetails = new StreamSocket(0, this);
    m_sockNetDetails->setObjectName(QStringLiteral("sockNetDetails"));
    m_inet = new WebFetch(this);
    m_progressTimer = new QTimer(this);
    m_progressTimer->setObjectName(QStringLiteral("tmrProgress"));
    connect(m_progressTimer, &QTimer::timeout, this, &FrmOptions::progressTick);

    connect(m_ui->vlTab, &QTabWidget::currentChanged, this, &FrmOptions::showPage);
    connect(m_ui->cmbPortDetails_0, &QComboBox::currentIndexChanged, this, &FrmOptions::showPort);
    connect(m_ui->chkIUSE, &QCheckBox::clicked, this, &FrmOptions::applyIUseRule);
    // Only the user's click moves the default; ticks set from code do not.
    connect(m_ui->chkSetDefault, &QCheckBox::clicked, this, &FrmOptions::setDefaultClicked);
    connect(m_ui->chkUseHRP, &QCheckBox::toggled, this, &FrmOptions::useHRPToggled);
    connect(m_ui->cmdHRP, &QPushButton::clicked, this, &FrmOptions::openHRP);
    connect(m_ui->cmdExeBrowse, &QPushButton::clicked, this, &FrmOptions::browseExe);
    connect(m_ui->cmdModBrowse, &QPushButton::clicked, this, &FrmOptions::browseMod);
    connect(m_ui->cmdMapBrowse, &QPushButton::clicked, this, &FrmOptions::browseMap);
    connect(m_ui->cmdClearTC, &QPushButton::clicked, m_ui->txtPortDetails_1, &QLineEdit::clear);
    connect(m_ui->cmdClearUM, &QPushButton::clicked, m_ui->txtPortDetails_2, &QLineEdit::clear);
    connect(m_ui->cmbPlayerDetails_1, &QComboBox::textActivated, m_ui->txtPlayerDetails_0,
            &QLineEdit::setText);
    connect(m_ui->cmdName, &QPushButton::clicked, this, &FrmOptions::openNames);
    connect(m_ui->optWan, &QRadioButton::toggled, this, &FrmOptions::applyNetworkRule);
    connect(m_ui->cmdAutoDetect, &QPushButton::clicked, this,
            qOverload<>(&FrmOptions::AutoDetectNetwork));
    connect(m_ui->cmdFindWanIP, &QPushButton::clicked, this, &FrmOptions::findWanIP);
    connect(m_ui->cmdFindLanIP, &QPushButton::clicked, this, &FrmOptions::findLanIP);
    connect(m_ui->cmdSave, &QPushButton::clicked, this, &FrmOptions::Save);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &FrmOptions::reject);

    load();
}

FrmOptions::~FrmOptions() = default;

void FrmOptions::load()
{
    m_loading = true;
    VL &vl = VL::instance();

    m_ui->vlTab->setCurrentIndex(0);
    showPage(0);

    if (tables::countryList().isEmpty())
        tables::FillCountryTable();
    if (tables::PortNames(1).isEmpty())
        tables::FillPortNames();
    const QStringList &countries = tables::countryList();
    m_ui->cmbPlayerDetails_0->addItems(countries);
    {
        const QSignalBlocker blocker(m_ui->cmbPortDetails_0);
        for (int port = 0; port < options::PortCount; ++port)
            m_ui->cmbPortDetails_0->addItem(tables::PortNames(port + 1));
        // A stored default outside 1-4 falls back to the first port.
        m_defaultPort = vl.GetDefaultPort();
        m_ui->cmbPortDetails_0->setCurrentIndex(m_defaultPort);
    }
    m_loaded.defaultPort = settings::defaultPortText();
    for (int port = 0; port < options::PortCount; ++port) {
        m_portPaths[std::size_t(port * 2)] = settings::exePath(port);
        m_portPaths[std::size_t(port * 2 + 1)] = settings::modPath(port);
    }
    m_loaded.portPaths = m_portPaths;
    showPort(m_defaultPort);

    m_ui->txtPortDetails_2->setText(settings::mapPath());
    m_ui->txtYourDetails_0->setText(settings::fullName());
    m_loaded.country = settings::countryText();
    m_ui->cmbPlayerDetails_0->setCurrentIndex(settings::country(int(countries.size())));
    m_ui->txtYourDetails_1->setText(settings::ageText());
    m_ui->txtYourDetails_2->setText(settings::emailAddress());
    m_ui->txtYourDetails_3->setText(settings::website());
    m_ui->txtYourDetails_4->setPlainText(commentsFromStore(settings::comments()));
    // A longer stored name is shown cut, and kept as stored unless edited.
    m_ui->txtPlayerDetails_0->setMaxLength(limits::PlayerName);
    m_ui->txtPlayerDetails_0->setText(settings::playerName());
    m_loaded.hrpEnabled = settings::hrpEnabledText();
    m_ui->chkUseHRP->setChecked(m_loaded.hrpEnabled == u"1");
    GetOtherNames();

    for (QComboBox *placeholder :
         { m_ui->cmbLanguage, m_ui->cmbSkin, m_ui->cmbChatFont, m_ui->cmbChatColour,
           m_ui->cmbAutoUpdates, m_ui->cmbUpdateInterval })
        placeholder->setCurrentIndex(0);

    const QString address = localAddress();
    const auto storedAddress
        = [&address](const QString &stored) { return ValidateIP(stored) ? stored : address; };
    const auto storedPort
        = [](const QString &stored) { return ValidatePort(stored) ? stored : kDefaultNetPort; };
    m_loaded.wanIP = settings::wanIP();
    m_loaded.wanPort = settings::wanPort();
    m_loaded.lanIP = settings::lanIP();
    m_loaded.lanPort = settings::lanPort();
    m_ui->txtWanDetails_0->setText(storedAddress(m_loaded.wanIP));
    m_ui->txtWanDetails_1->setText(storedPort(m_loaded.wanPort));
    m_ui->txtLanDetails_0->setText(storedAddress(m_loaded.lanIP));
    m_ui->txtLanDetails_1->setText(storedPort(m_loaded.lanPort));
    m_loaded.networkType = settings::networkTypeText();
    if (m_loaded.networkType == u"1")
        m_ui->optWan->setChecked(true);
    else if (m_loaded.networkType == u"2")
        m_ui->optLan->setChecked(true);
    applyNetworkRule();

    m_loaded.texts = shownTexts();
    m_loading = false;
}

int FrmOptions::shownPort() const
{
    const int port = m_ui->cmbPortDetails_0->currentIndex();
    return port >= 0 && port < options::PortCount ? port : -1;
}

QString FrmOptions::localAddress() const
{
    return options::SocketLocalAddress(*m_sockNetDetails);
}

void FrmOptions::SelectTab(int index)
{
    if (index < 0 || index >= m_ui->vlTab->count()) {
        msgbox::show(this, QStringLiteral("Tab doesn't exist"), QStringLiteral("Error"),
                     msgbox::Icon::Warning);
        return;
    }
    m_ui->vlTab->setCurrentIndex(index);
    showPage(index);
}

void FrmOptions::showPage(int index)
{
    const std::array<QWidget *, kPageCount> pages { m_ui->Frames_0, m_ui->Frames_1, m_ui->Frames_2,
                                                    m_ui->Frames_3 };
    for (int page = 0; page < kPageCount; ++page)
        pages[std::size_t(page)]->setEnabled(page == index);
    if (index < 0 || index >= kPageCount)
        msgbox::show(this, QStringLiteral("Tab doesn't exist"), QStringLiteral("Error"),
                     msgbox::Icon::Warning);
}

void FrmOptions::showPort(int port)
{
    m_ui->chkSetDefault->setChecked(port == m_defaultPort);
    if (port >= 0 && port < options::PortCount) {
        m_ui->txtPortDetails_0->setText(m_portPaths[std::size_t(port * 2)]);
        m_ui->txtPortDetails_1->setText(m_portPaths[std::size_t(port * 2 + 1)]);
    } else {
        m_ui->txtPortDetails_0->clear();
        m_ui->txtPortDetails_1->clear();
    }
    if (port >= 0 && port < options::PortCount)
        m_loaded.usesPort[std::size_t(port)] = settings::usesPortText(port);
    m_ui->chkIUSE->setChecked(settings::usesPort(port));
    applyIUseRule();
}

void FrmOptions::applyIUseRule()
{
    const bool use = m_ui->chkIUSE->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *> {
             m_ui->txtPortDetails_0, m_ui->txtPortDetails_1, m_ui->txtPortDetails_2,
             m_ui->cmdExeBrowse, m_ui->cmdModBrowse, m_ui->cmdMapBrowse, m_ui->cmdClearTC,
             m_ui->cmdClearUM })
        control->setEnabled(use);

    const int port = shownPort();
    if (use) {
        const bool portChosen = port >= 0;
        m_ui->chkSetDefault->setEnabled(portChosen);
        m_ui->chkUseHRP->setEnabled(portChosen);
        m_ui->cmdHRP->setEnabled(portChosen);
        return;
    }
    m_ui->chkUseHRP->setEnabled(false);
    m_ui->cmdHRP->setEnabled(false);
    m_ui->chkSetDefault->setChecked(false);
    m_ui->chkSetDefault->setEnabled(false);
    // A port the player does not use cannot stay the default; during the
    // first set-up nothing is ticked yet, so the default stays put.
    if (port == m_defaultPort && !VL::instance().FirstRun) {
        if (m_defaultPort == 0)
            m_defaultPort = 1;
        else if (m_defaultPort == 1)
            m_defaultPort = 0;
    }
}

void FrmOptions::setDefaultClicked(bool checked)
{
    const int port = shownPort();
    m_defaultPort = checked && port >= 0 ? port : 0;
}

void FrmOptions::useHRPToggled(bool checked)
{
    if (!checked || !VL::instance().HRPPath1.isEmpty())
        return;
    // While loading, the HRP window waits until this window is on screen.
    if (m_loading)
        QTimer::singleShot(0, this, &FrmOptions::openHRP);
    else
        openHRP();
}

void FrmOptions::openHRP()
{
    FrmHRP::showFor(this);
}

void FrmOptions::openNames()
{
    FrmNames::showFor(this);
}

void FrmOptions::ClearUseHRP()
{
    m_ui->chkUseHRP->setChecked(false);
}

void FrmOptions::GetOtherNames()
{
    m_ui->cmbPlayerDetails_1->clear();
    m_ui->cmbPlayerDetails_1->addItem(m_ui->txtPlayerDetails_0->text());
    m_ui->cmbPlayerDetails_1->addItems(SplitList(settings::otherNames(), sep::MsgSep));
}

void FrmOptions::applyNetworkRule()
{
    // Disabling the frame greys its labels, boxes and button alike.
    m_ui->fraWan->setEnabled(true);
    m_ui->fraLan->setEnabled(!m_ui->optWan->isChecked());
}

void FrmOptions::browseExe()
{
    const int port = shownPort();
    if (port < 0)
        return;
    VL &vl = VL::instance();
    vl.SetPortPaths(vl.CurrentPort);
    const QString folder
        = FolderExists(vl.CurrentPortPath) ? vl.CurrentPortPath : VL::installPath();

    QFileDialog dialog(this, QStringLiteral("Velkor - Choose Port"), folder,
                       options::ExeChooserFilter(port));
    dialog.setObjectName(QStringLiteral("cOpen"));
    dialog.setFileMode(QFileDialog::ExistingFile);
#ifdef Q_OS_WIN
    dialog.setDefaultSuffix(QStringLiteral("exe"));
#endif
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty() && !files.constFirst().isEmpty())
        m_ui->txtPortDetails_0->setText(QDir::toNativeSeparators(files.constFirst()));
}

void FrmOptions::browseMod()
{
    const QString folder = BrowseFolder(this, QStringLiteral("Select Mod/TC Folder:"));
    if (!folder.isEmpty())
        m_ui->txtPortDetails_1->setText(folder);
}

void FrmOptions::browseMap()
{
    const QString folder = BrowseFolder(this, QStringLiteral("Select Usermap Folder:"));
    if (!folder.isEmpty())
        m_ui->txtPortDetails_2->setText(folder);
}

void FrmOptions::findWanIP()
{
    // The request runs events; a second click must not start another.
    if (m_requestingIP)
        return;
    m_requestingIP = true;
    m_ui->cmdFindWanIP->setEnabled(false);
    m_ui->cmdAutoDetect->setEnabled(false);
    m_ui->lblStatus->setText(QStringLiteral("Requesting IP Address..."));
    m_ui->ProgBar->setMaximum(kProgressMaximum);
    m_ui->ProgBar->setValue(0);
    m_ui->ProgBar->setVisible(true);
    m_progressTimer->start(m_progressInterval);

    // The window may be closed while the request waits.
    const QPointer<FrmOptions> self(this);
    const QString address = FindIP(1, *m_inet, localAddress(), this);
    if (!self)
        return;

    if (ValidateIP(address)) {
        m_ui->txtWanDetails_0->setText(address);
        m_ui->lblStatus->setText(QStringLiteral("Operation complete."));
    } else {
        m_ui->lblStatus->setText(QStringLiteral("Operation failed."));
    }
    finishProgress();
    m_ui->cmdFindWanIP->setEnabled(true);
    m_ui->cmdAutoDetect->setEnabled(true);
    m_requestingIP = false;
}

void FrmOptions::findLanIP()
{
    m_ui->txtLanDetails_0->setText(FindIP(2, *m_inet, localAddress(), this));
    m_ui->lblStatus->setText(QStringLiteral("Operation complete."));
}

void FrmOptions::progressTick()
{
    m_ui->ProgBar->setValue(m_ui->ProgBar->value() + 1);
    if (m_ui->ProgBar->value() >= m_ui->ProgBar->maximum())
        finishProgress();
}

void FrmOptions::finishProgress()
{
    m_ui->ProgBar->setValue(0);
    m_progressTimer->stop();
    m_ui->ProgBar->setVisible(false);
}

void FrmOptions::AutoDetectNetwork(const StreamSocket &socket)
{
    AutoDetectNetworkFor(options::SocketLocalAddress(socket));
}

void FrmOptions::AutoDetectNetwork()
{
    AutoDetectNetwork(*m_sockNetDetails);
}

void FrmOptions::AutoDetectNetworkFor(const QString &localAddress)
{
    if (CheckPrivateIP(localAddress)) {
        m_ui->optLan->setChecked(true);
        applyNetworkRule();
        findWanIP();
    } else {
        m_ui->optWan->setChecked(true);
        applyNetworkRule();
        m_ui->txtLanDetails_0->setText(localAddress);
        m_ui->lblStatus->setText(QStringLiteral("Operation complete."));
    }
}

FrmOptions::ShownTexts FrmOptions::shownTexts() const
{
    return { m_ui->txtPortDetails_2->text(),  m_ui->txtYourDetails_0->text(),
             m_ui->txtYourDetails_1->text(),  m_ui->txtYourDetails_2->text(),
             m_ui->txtYourDetails_3->text(),  m_ui->txtYourDetails_4->toPlainText(),
             m_ui->txtPlayerDetails_0->text() };
}

settings::Result FrmOptions::writeChanges()
{
    // Only what differs from what this window loaded is written, so that a
    // second Velkor that saved meanwhile keeps its values. Boxes of free
    // text count as changed when edited; values the window puts right
    // (fall-backs for unusable stored values) when they differ from the
    // stored text.
    store::Batch batch; // one lock and one save for all values
    settings::Result failed;
    const auto keep = [&failed](const settings::Result &result) {
        if (failed.ok() && !result.ok())
            failed = result;
    };

    const int shown = shownPort();
    if (shown >= 0) {
        m_portPaths[std::size_t(shown * 2)] = m_ui->txtPortDetails_0->text();
        m_portPaths[std::size_t(shown * 2 + 1)] = m_ui->txtPortDetails_1->text();
        const bool used = m_ui->chkIUSE->isChecked();
        if (flagText(used) != m_loaded.usesPort[std::size_t(shown)])
            keep(settings::setUsesPort(shown, used));
    }
    if (QString::number(m_defaultPort + 1) != m_loaded.defaultPort)
        keep(settings::setDefaultPort(m_defaultPort));
    for (int port = 0; port < options::PortCount; ++port) {
        const auto exe = std::size_t(port * 2);
        const auto mod = exe + 1;
        if (m_portPaths[exe] != m_loaded.portPaths[exe])
            keep(settings::setExePath(port, m_portPaths[exe]));
        if (m_portPaths[mod] != m_loaded.portPaths[mod])
            keep(settings::setModPath(port, m_portPaths[mod]));
    }

    const ShownTexts now = shownTexts();
    const ShownTexts &then = m_loaded.texts;
    if (now.mapPath != then.mapPath)
        keep(settings::setMapPath(now.mapPath));
    if (now.fullName != then.fullName)
        keep(settings::setFullName(now.fullName));
    const int country = m_ui->cmbPlayerDetails_0->currentIndex();
    if (QString::number(country) != m_loaded.country)
        keep(settings::setCountry(country));
    if (now.age != then.age)
        keep(settings::setAge(now.age));
    if (now.email != then.email)
        keep(settings::setEmailAddress(now.email));
    if (now.website != then.website)
        keep(settings::setWebsite(now.website));
    if (now.comments != then.comments)
        keep(settings::setComments(commentsToStore(now.comments)));
    if (now.playerName != then.playerName)
        keep(settings::setPlayerName(now.playerName));

    const auto network = [&keep](const QString &shownText, const QString &stored,
                                 settings::Result (*write)(const QString &)) {
        if (shownText != stored)
            keep(write(shownText));
    };
    network(m_ui->txtWanDetails_0->text(), m_loaded.wanIP, &settings::setWanIP);
    network(m_ui->txtWanDetails_1->text(), m_loaded.wanPort, &settings::setWanPort);
    network(m_ui->txtLanDetails_0->text(), m_loaded.lanIP, &settings::setLanIP);
    network(m_ui->txtLanDetails_1->text(), m_loaded.lanPort, &settings::setLanPort);
    const int networkType = m_ui->optLan->isChecked() ? 2 : 1;
    if (QString::number(networkType) != m_loaded.networkType)
        keep(settings::setNetworkType(networkType));
    const bool hrp = m_ui->chkUseHRP->isChecked();
    if (flagText(hrp) != m_loaded.hrpEnabled)
        keep(settings::setHrpEnabled(hrp));

    const settings::Result saved { batch.commit() };
    if (!failed.ok())
        return failed;
    if (!saved.ok())
        return saved;

    // What is stored now is what the next Save compares against.
    if (shown >= 0)
        m_loaded.usesPort[std::size_t(shown)] = flagText(m_ui->chkIUSE->isChecked());
    m_loaded.defaultPort = QString::number(m_defaultPort + 1);
    m_loaded.portPaths = m_portPaths;
    m_loaded.texts = now;
    m_loaded.country = QString::number(country);
    m_loaded.wanIP = m_ui->txtWanDetails_0->text();
    m_loaded.wanPort = m_ui->txtWanDetails_1->text();
    m_loaded.lanIP = m_ui->txtLanDetails_0->text();
    m_loaded.lanPort = m_ui->txtLanDetails_1->text();
    m_loaded.networkType = QString::number(networkType);
    m_loaded.hrpEnabled = flagText(hrp);
    return {};
}

void FrmOptions::reportNotSaved()
{
    m_ui->lblStatus->setText(QStringLiteral("Settings not saved."));
    options::ShowNotSaved(this);
}

bool FrmOptions::Save()
{
    const QPointer<FrmOptions> self(this);
    // Nothing else happens when nothing was written: the input stays in the
    // window for another try.
    if (!writeChanges().ok()) {
        m_savedComplete = false;
        reportNotSaved();
        return false;
    }

    m_savedComplete = VL::CheckCompulsoryDetails();
    if (!m_savedComplete) {
        msgbox::show(this,
                     QStringLiteral("You have forgot to complete some values.\n\n"
                                    "Check that Port(s) path(s) and Player Name are entered "
                                    "correctly."),
                     QStringLiteral("Error"), msgbox::Icon::Error);
        if (!self)
            return false;
    }

    VL &vl = VL::instance();
    // The network type and HRP paths are read again; a running session
    // takes the player's new details itself.
    (void)vl.MyDetails();
    vl.SetPortPaths(vl.CurrentPort);

    // An active session passes the new details on from here, complete or not.
    emit detailsSaved(m_savedComplete);
    emit SettingsEvents::instance().myDetailsSaved();
    if (!self || !m_savedComplete)
        return false;

    if (!settings::setSetupComplete().ok()) {
        m_savedComplete = false;
        reportNotSaved();
        return false;
    }
    m_ui->lblStatus->setText(QStringLiteral("Settings saved."));
    if (vl.FirstRun) {
        emit firstRunCompleted();
        VL::instance().FirstRun = false;
        if (self)
            close();
    }
    return true;
}

void FrmOptions::reject()
{
    if (VL::instance().FirstRun && !m_savedComplete) {
        const msgbox::Answer answer = msgbox::show(
            this, QStringLiteral("You have not set up Velkor properly, do you wish to quit?"),
            QStringLiteral("Velkor"), msgbox::Icon::Question, msgbox::Buttons::OkCancel);
        if (answer != msgbox::Answer::Ok)
            return;
        endProgram();
    }
    close();
}

void FrmOptions::closeEvent(QCloseEvent *event)
{
    // Without the compulsory details nothing else can run; the title bar
    // does not ask.
    if (VL::instance().FirstRun && !VL::CheckCompulsoryDetails())
        endProgram();
    event->accept();
}

void FrmOptions::endProgram()
{
    if (m_quitRequested)
        return;
    m_quitRequested = true;
    emit quitRequested();
    program::end();
}

namespace options {

void ShowNotSaved(QWidget *owner)
{
    msgbox::show(owner,
                 u"Your settings could not be saved. The settings file \"" + settings::location()
                     + u"\" is in use by another program or cannot be written.\n\n"
                       u"Your changes are still in this window: press Save to try again.",
                 QStringLiteral("Error"), msgbox::Icon::Error);
}

FrmOptions *ShowOptions(QWidget *owner)
{
    // Centred on the screen, whoever the owner is.
    return ShowSingle<FrmOptions>(owner, QStringLiteral("FrmOptions"), nullptr);
}

} // namespace options
