#include "frmoptions.h"

#include "addresshelpers.h"
#include "browsefolder.h"
#include "forms.h"
#include "frmhrp.h"
#include "frmnames.h"
#include "localaddress.h"
#include "messagebox.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "paths.h"
#include "porttable.h"
#include "separators.h"
#include "settingsevents.h"
#include "settingsstore.h"
#include "storedlists.h"
#include "streamsocket.h"
#include "tables.h"
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

const QString kGame = QStringLiteral("Game");
const QString kNetwork = QStringLiteral("Network");
const QString kPlayer = QStringLiteral("Player");

constexpr int kPageCount = 4;
constexpr int kProgressMaximum = 20;
const QString kDefaultNetPort = QStringLiteral("8500");

FrmOptions::QuitHandler &quitHandler()
{
    static FrmOptions::QuitHandler handler = [] { QCoreApplication::exit(0); };
    return handler;
}

// A stored "I use" value ticks the box only when it is the number 1.
bool storedIUse(int port)
{
    const QString name = options::IUseValueName(port);
    if (name.isEmpty())
        return false;
    bool ok = false;
    const int value = ReadSetting(kGame, name).trimmed().toInt(&ok);
    return ok && value == 1;
}

// The stored country index, or -1 (nothing chosen) when it names no entry.
int storedLocation(int countries)
{
    bool ok = false;
    const int index = ReadSetting(kPlayer, QStringLiteral("Location")).trimmed().toInt(&ok);
    return ok && index >= 0 && index < countries ? index : -1;
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

FrmOptions::QuitHandler FrmOptions::setQuitHandler(QuitHandler handler)
{
    QuitHandler previous = std::move(quitHandler());
    quitHandler() = std::move(handler);
    return previous;
}

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
    for (int port = 0; port < options::PortCount; ++port) {
        m_portPaths[std::size_t(port * 2)] = ReadSetting(kGame, options::ExeValueName(port));
        m_portPaths[std::size_t(port * 2 + 1)] = ReadSetting(kGame, options::ModValueName(port));
    }
    showPort(m_defaultPort);

    m_ui->txtPortDetails_2->setText(ReadSetting(kGame, QStringLiteral("MapPath")));
    m_ui->txtYourDetails_0->setText(ReadSetting(kPlayer, QStringLiteral("FullName")));
    m_ui->cmbPlayerDetails_0->setCurrentIndex(storedLocation(int(countries.size())));
    m_ui->txtYourDetails_1->setText(ReadSetting(kPlayer, QStringLiteral("Age")));
    m_ui->txtYourDetails_2->setText(ReadSetting(kPlayer, QStringLiteral("EmailAddress")));
    m_ui->txtYourDetails_3->setText(ReadSetting(kPlayer, QStringLiteral("Website")));
    m_ui->txtYourDetails_4->setPlainText(
        commentsFromStore(ReadSetting(kPlayer, QStringLiteral("Comments"))));
    m_ui->txtPlayerDetails_0->setText(ReadSetting(kPlayer, QStringLiteral("PlayerName")));
    m_ui->chkUseHRP->setChecked(ReadSetting(kGame, QStringLiteral("EnableHRP")) == u"1");
    GetOtherNames();

    for (QComboBox *placeholder :
         { m_ui->cmbLanguage, m_ui->cmbSkin, m_ui->cmbChatFont, m_ui->cmbChatColour,
           m_ui->cmbAutoUpdates, m_ui->cmbUpdateInterval })
        placeholder->setCurrentIndex(0);

    const QString address = localAddress();
    const auto storedAddress = [&address](const QString &name) {
        const QString stored = ReadSetting(kNetwork, name);
        return ValidateIP(stored) ? stored : address;
    };
    const auto storedPort = [](const QString &name) {
        const QString stored = ReadSetting(kNetwork, name);
        return ValidatePort(stored) ? stored : kDefaultNetPort;
    };
    m_ui->txtWanDetails_0->setText(storedAddress(QStringLiteral("WanIP")));
    m_ui->txtWanDetails_1->setText(storedPort(QStringLiteral("WanPort")));
    m_ui->txtLanDetails_0->setText(storedAddress(QStringLiteral("LanIP")));
    m_ui->txtLanDetails_1->setText(storedPort(QStringLiteral("LanPort")));
    const QString networkType = ReadSetting(kNetwork, QStringLiteral("NetworkType"));
    if (networkType == u"1")
        m_ui->optWan->setChecked(true);
    else if (networkType == u"2")
        m_ui->optLan->setChecked(true);
    applyNetworkRule();

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
    m_ui->chkIUSE->setChecked(storedIUse(port));
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
    m_ui->cmbPlayerDetails_1->addItems(
        SplitList(ReadSetting(kPlayer, QStringLiteral("OtherNames")), sep::MsgSep));
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
    vl.SetPortPaths(VLSession::instance().CurrentPort);
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

bool FrmOptions::Save()
{
    std::optional<store::Batch> batch(std::in_place); // one lock and one save for all values
    const int shown = shownPort();
    if (shown >= 0) {
        m_portPaths[std::size_t(shown * 2)] = m_ui->txtPortDetails_0->text();
        m_portPaths[std::size_t(shown * 2 + 1)] = m_ui->txtPortDetails_1->text();
        WriteSetting(kGame, options::IUseValueName(shown),
                     m_ui->chkIUSE->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    WriteSetting(kGame, QStringLiteral("DefaultPort"), QString::number(m_defaultPort + 1));
    for (int port = 0; port < options::PortCount; ++port) {
        WriteSetting(kGame, options::ExeValueName(port), m_portPaths[std::size_t(port * 2)]);
        WriteSetting(kGame, options::ModValueName(port), m_portPaths[std::size_t(port * 2 + 1)]);
    }
    WriteSetting(kGame, QStringLiteral("MapPath"), m_ui->txtPortDetails_2->text());
    WriteSetting(kPlayer, QStringLiteral("FullName"), m_ui->txtYourDetails_0->text());
    WriteSetting(kPlayer, QStringLiteral("Location"),
                 QString::number(m_ui->cmbPlayerDetails_0->currentIndex()));
    WriteSetting(kPlayer, QStringLiteral("Age"), m_ui->txtYourDetails_1->text());
    WriteSetting(kPlayer, QStringLiteral("EmailAddress"), m_ui->txtYourDetails_2->text());
    WriteSetting(kPlayer, QStringLiteral("Website"), m_ui->txtYourDetails_3->text());
    WriteSetting(kPlayer, QStringLiteral("Comments"),
                 commentsToStore(m_ui->txtYourDetails_4->toPlainText()));
    WriteSetting(kPlayer, QStringLiteral("PlayerName"), m_ui->txtPlayerDetails_0->text());
    WriteSetting(kNetwork, QStringLiteral("WanIP"), m_ui->txtWanDetails_0->text());
    WriteSetting(kNetwork, QStringLiteral("WanPort"), m_ui->txtWanDetails_1->text());
    WriteSetting(kNetwork, QStringLiteral("LanIP"), m_ui->txtLanDetails_0->text());
    WriteSetting(kNetwork, QStringLiteral("LanPort"), m_ui->txtLanDetails_1->text());
    WriteSetting(kNetwork, QStringLiteral("NetworkType"),
                 m_ui->optLan->isChecked() ? QStringLiteral("2") : QStringLiteral("1"));
    WriteSetting(kGame, QStringLiteral("EnableHRP"),
                 m_ui->chkUseHRP->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    batch.reset(); // saved before any box can spin an event loop

    const QPointer<FrmOptions> self(this);
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
    vl.GetMyDetails(VLSession::instance().MyIndex);
    vl.SetPortPaths(VLSession::instance().CurrentPort);

    // An active session passes the new details on from here, complete or not.
    emit detailsSaved(m_savedComplete);
    emit SettingsEvents::instance().myDetailsSaved();
    if (!self || !m_savedComplete)
        return false;

    WriteSetting(kGame, QStringLiteral("VLSetup"), QStringLiteral("1"));
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
    if (quitHandler())
        quitHandler()();
}

namespace options {

FrmOptions *ShowOptions(QWidget *owner)
{
    // Centred on the screen, whoever the owner is.
    return ShowSingle<FrmOptions>(owner, QStringLiteral("FrmOptions"), nullptr);
}

} // namespace options
