#include "frmsession.h"

#include "colouredtext.h"
#include "forms.h"
#include "frmoptions.h"
#include "frmplayerdetails.h"
#include "frmplayerlist.h"
#include "frmserveroptions.h"
#include "gamesettings.h"
#include "messagebox.h"
#include "optionswindows.h"
#include "paths.h"
#include "programend.h"
#include "sessioncodec.h"
#include "sessionicons.h"
#include "sessionplayers.h"
#include "settings.h"
#include "settingsevents.h"
#include "statuspanel.h"
#include "tables.h"
#include "vl.h"
#include "vlsession.h"
#include "windowcentre.h"

#include "ui_frmsession.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>

#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kHostOnly = QStringLiteral("Only the host can access this feature.");
const QString kHostOnlyTitle = QStringLiteral("Host Access Only");

// The chat font when nothing sound is stored.
const QString kDefaultFontName = QStringLiteral("Arial");
constexpr int kDefaultFontSize = 10;
constexpr qint64 kDefaultFontColour = 16777215; // white
constexpr int kSmallestFontSize = 6;
constexpr int kLargestFontSize = 72;
constexpr int kLongestFontName = 64;

const QColor kHeaderBack(0x00, 0x00, 0x80);
const QColor kHeaderText(0xc0, 0xc0, 0xc0);

// A stored whole number within [lowest, highest], or nothing.
std::optional<qint64> storedNumber(const QString &stored, qint64 lowest, qint64 highest)
{
    bool ok = false;
    const qint64 value = stored.trimmed().toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// A stored family name that can travel in a styled text and name a font.
QString storedFontName()
{
    const QString name = settings::fontName().trimmed();
    if (name.isEmpty() || name.size() > kLongestFontName)
        return kDefaultFontName;
    for (QChar c : name) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return kDefaultFontName;
    }
    return name;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, QPalette::Text, colour);
    palette.setColor(QPalette::Inactive, QPalette::Text, colour);
    widget->setPalette(palette);
}

void paintBlack(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::black);
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0x20, 0x20, 0x20));
    widget->setPalette(palette);
}

// The window that holds the program's one session.
QPointer<FrmSession> runningWindow;

} // namespace

FrmSession *FrmSession::running()
{
    return runningWindow.data();
}

FrmSession::FrmSession(QWidget *parent)
    : FrmSession(SessionContext(), parent)
{
}

FrmSession::FrmSession(const SessionContext &context, QWidget *parent)
    : FrmSession(new SessionEndpoint(context), parent)
{
}

FrmSession::FrmSession(SessionEndpoint *endpoint, QWidget *parent)
    : QMainWindow { parent }
    , m_ui { std::make_unique<Ui::FrmSession>() }
    , m_endpoint { endpoint }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmSession"));
    // The session and its sockets live as long as the window.
    setAttribute(Qt::WA_DeleteOnClose);
    m_endpoint->setParent(this);

    setUpLook();
    setUpStatusBar();
    setUpActions();
    bindEndpoint();
    CentreWindow(this);

    connect(&SettingsEvents::instance(), &SettingsEvents::myDetailsSaved, this,
            &FrmSession::onMyDetailsSaved);

    // A second window never takes over what the first one holds.
    if (runningWindow.isNull())
        runningWindow = this;
    UpdateFonts();
}

FrmSession::~FrmSession()
{
    // A window destroyed without closing (its owner went) still ends the
    // session.
    if (!m_ended)
        endSession();
}

void FrmSession::setUpLook()
{
    Ui::FrmSession &ui = *m_ui;

    QPalette header = ui.lblHeader->palette();
    header.setColor(QPalette::Window, kHeaderBack);
    header.setColor(QPalette::WindowText, kHeaderText);
    ui.lblHeader->setPalette(header);
    QFont headerFont = ui.lblHeader->font();
    headerFont.setBold(true);
    ui.lblHeader->setFont(headerFont);
    m_headerBase = ui.lblHeader->text();

    prepareTextView(ui.rtbChat);
    paintBlack(ui.rtbChat);
    ui.rtbChat->setFont(QFont(kDefaultFontName, kDefaultFontSize));

    paintBlack(ui.txtChat);
    ui.txtChat->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    ui.txtChat->installEventFilter(this);
    connect(ui.txtChat, &QPlainTextEdit::textChanged, this, &FrmSession::limitChatBox);

    paintBlack(ui.lstPlayers);
    QPalette players = ui.lstPlayers->palette();
    players.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    players.setColor(QPalette::Highlight, QColor(0x1f, 0x4a, 0x80));
    players.setColor(QPalette::HighlightedText, Qt::white);
    ui.lstPlayers->setPalette(players);
    ui.lstPlayers->viewport()->installEventFilter(this);

    // Chat on the left, about three quarters of the width; the chat box
    // about four lines high under the chat view.
    ui.splMain->setStretchFactor(0, 1);
    ui.splMain->setStretchFactor(1, 0);
    ui.splMain->setSizes({ 510, 170 });
    ui.splChat->setStretchFactor(0, 1);
    ui.splChat->setStretchFactor(1, 0);
    const int boxHeight = ui.txtChat->fontMetrics().lineSpacing() * 4 + 12;
    ui.splChat->setSizes({ 300, qMax(boxHeight, ui.pnlInput->minimumSizeHint().height()) });

    ui.cmdSend->setIcon(QIcon());
    ui.cmdSendTo->setIcon(sessionIcon(SessionIcon::SendTo));
    ui.cmdStart->setIcon(sessionIcon(SessionIcon::StartGame));
    ui.cmdStart->setIconSize(QSize(20, 20));
    ui.cmdStart->setMinimumHeight(30);
}

void FrmSession::setUpStatusBar()
{
    QStatusBar *bar = m_ui->StatsBar;
    bar->setSizeGripEnabled(true);
    const QString texts[4] = { QStringLiteral("Mod: "), QStringLiteral("Type: "),
                               QStringLiteral("Map: "), QStringLiteral("Level: ") };
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = statusPanel(bar, u"StatsBar_" + QString::number(i + 1), texts[i]);
        m_panels[i]->setMinimumWidth(110);
        bar->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
}

void FrmSession::setUpActions()
{
    Ui::FrmSession &ui = *m_ui;
    const std::pair<QAction *, SessionIcon> icons[] = {
        { ui.tbStartGame, SessionIcon::StartGame },
        { ui.tbAdvertise, SessionIcon::Advertise },
        { ui.tbGameOptions, SessionIcon::GameOptions },
        { ui.tbServerOptions, SessionIcon::ServerOptions },
        { ui.tbVelkorOptions, SessionIcon::VelkorOptions },
        { ui.tbPlayerDetails, SessionIcon::PlayerDetails },
        { ui.tbFileTransfers, SessionIcon::FileTransfers },
        { ui.tbChangeFont, SessionIcon::ChangeFont },
        { ui.tbQuitSession, SessionIcon::QuitSession },
        { ui.mnuStartGame, SessionIcon::StartGame },
        { ui.mnuMasterServerReporting, SessionIcon::Advertise },
        { ui.mnuGameOptions, SessionIcon::GameOptions },
        { ui.mnuServerOptions, SessionIcon::ServerOptions },
        { ui.mnuViewPlayers, SessionIcon::PlayerDetails },
        { ui.mnuChangeFont, SessionIcon::ChangeFont },
        { ui.mnuViewFileTransfers, SessionIcon::FileTransfers },
        { ui.mnuMainOptions, SessionIcon::VelkorOptions },
        { ui.mnuLeaveSession, SessionIcon::QuitSession },
    };
    for (const auto &[action, icon] : icons)
        action->setIcon(sessionIcon(icon));
    for (QAction *action : ui.Toolbar->actions()) {
        if (!action->isSeparator())
            action->setStatusTip(action->toolTip());
    }

    // Not part of this window yet: starting the game, lobby reporting, the
    // game options, usermap requests, the transfer window and the font
    // dialog. Saving the conversation and the help have no action at all.
    for (QAction *action :
         { ui.mnuSaveConversation, ui.mnuVelkorHelp, ui.mnuStartGame, ui.tbStartGame,
           ui.mnuMasterServerReporting, ui.tbAdvertise, ui.mnuGameOptions, ui.tbGameOptions,
           ui.mnuRequestUsermap, ui.mnuViewFileTransfers, ui.tbFileTransfers, ui.mnuChangeFont,
           ui.tbChangeFont })
        action->setEnabled(false);
    ui.cmdStart->setEnabled(false);

    connect(ui.mnuLeaveSession, &QAction::triggered, this, &QWidget::close);
    connect(ui.tbQuitSession, &QAction::triggered, this, &QWidget::close);
    connect(ui.mnuQuitVelkor, &QAction::triggered, this, &FrmSession::quitVelkor);
    connect(ui.mnuServerOptions, &QAction::triggered, this, &FrmSession::showServerOptions);
    connect(ui.tbServerOptions, &QAction::triggered, this, &FrmSession::showServerOptions);
    connect(ui.mnuViewPlayers, &QAction::triggered, this, &FrmSession::showPlayerDetails);
    connect(ui.tbPlayerDetails, &QAction::triggered, this, &FrmSession::showPlayerDetails);
    connect(ui.mnuMainOptions, &QAction::triggered, this, &FrmSession::showMainOptions);
    connect(ui.tbVelkorOptions, &QAction::triggered, this, &FrmSession::showMainOptions);
    connect(ui.tbFileTransfers, &QAction::triggered, this, &FrmSession::showFileTransfers);
    connect(ui.mnuAbout, &QAction::triggered, this, [this] { options::ShowAbout(this); });

    connect(ui.cmdSend, &QPushButton::clicked, this, &FrmSession::send);
    connect(ui.cmdSendTo, &QPushButton::clicked, this, &FrmSession::showSendTo);

    m_playerMenu = new QMenu(this);
    m_playerMenu->setObjectName(QStringLiteral("mnuPlayer"));
    QAction *kick = m_playerMenu->addAction(QStringLiteral("Kick Player"));
    kick->setObjectName(QStringLiteral("mnuKick"));
    connect(kick, &QAction::triggered, this, &FrmSession::kickSelectedPlayer);
}

void FrmSession::bindEndpoint()
{
    SessionEndpoint *endpoint = m_endpoint;
    connect(endpoint, &SessionEndpoint::systemLine, this,
            [this](const QString &text, int style, bool addReturn) {
                AddCustomText(m_ui->rtbChat, text, style, addReturn);
            });
    connect(endpoint, &SessionEndpoint::chatLine, this,
            [this](int slot, const QString &styledText) {
                AddText(m_ui->rtbChat, QString::number(slot), styledText, m_endpoint->players());
            });
    connect(endpoint, &SessionEndpoint::playersChanged, this, &FrmSession::UpdatePlayerList);
    connect(endpoint, &SessionEndpoint::stateApplied, this, &FrmSession::onStateApplied);
    connect(endpoint, &SessionEndpoint::listenerFailed, this, &FrmSession::onListenerFailed);
    connect(endpoint, &SessionEndpoint::portNotConfigured, this, &FrmSession::onPortNotConfigured);
    connect(endpoint, &SessionEndpoint::hostEnded, this, &FrmSession::onHostEnded);
}

// ---- Starting --------------------------------------------------------------

void FrmSession::StartUpSession(int sessionMode)
{
    if (m_endpoint->session().isHost)
        startHosting(sessionMode);
    else
        startClient(sessionMode);
}

void FrmSession::startHosting(int sessionMode)
{
    const VLSession &session = m_endpoint->session();
    if (QWidget *game = FindForm(QStringLiteral("FrmGame")))
        game->close();

    m_endpoint->beginHostSession();
    if (!m_endpoint->startHosting()) {
        if (m_endpoint->lastError() == sockets::AddressInUse) {
            msgbox::show(this,
                         u"Port number " + QString::number(session.VLPort)
                             + u" already in use by another application!",
                         QStringLiteral("Port in use"), msgbox::Icon::Warning);
            emit hostingFailed();
            // Closed first, so that the hosting options see no running
            // session. They are normally still open (they close once the
            // session listens) and come to the front for another port.
            forceClose();
            ShowServerOptions(FindForm(QStringLiteral("FrmMain")));
            return;
        }
        // The session cannot work without its port; say why instead of
        // leaving a window that nobody can join.
        AddCustomText2(u"Winsock Error: " + m_endpoint->lastErrorText() + kCrLf + u"Index=0", 1,
                       true);
        return;
    }

    if (QWidget *options = FindForm(QStringLiteral("FrmServerOptions")))
        options->close();

    UpdatePlayerList();

    m_ui->mnuRequestUsermap->setEnabled(false);
    m_ui->mnuViewFileTransfers->setEnabled(false);
    // The host's transfer button only says that uploads cannot be viewed.
    m_ui->tbFileTransfers->setEnabled(true);

    if (sessionMode == 1) {
        m_endpoint->setDefaultGameSettings();
        m_headerBase = QStringLiteral("Velkor - Gaming Session");
        UpdateHeader(u" - " + tables::PortNames(session.CurrentPort) + u" - Hosting", false);
        UpdateStatsBar();
    } else if (sessionMode == 2) {
        m_headerBase = QStringLiteral("Velkor - Chat Session");
        UpdateHeader(QStringLiteral(" - Hosting"), false);
    }

    writeOpeningLines();
}

void FrmSession::startClient(int sessionMode)
{
    if (sessionMode != 1 && sessionMode != 2)
        return;
    if (sessionMode == 1) {
        m_endpoint->setDefaultGameSettings();
        m_headerBase = QStringLiteral("Velkor - Gaming Session");
    } else {
        m_headerBase = QStringLiteral("Velkor - Chat Session");
    }
    UpdateHeader(QStringLiteral(" - Join"), false);
    if (sessionMode == 1)
        UpdateStatsBar();
    m_ui->cmdStart->setEnabled(false);
    m_ui->tbFileTransfers->setEnabled(false);
    writeOpeningLines();
}

void FrmSession::writeOpeningLines()
{
    QTextEdit *rtb = m_ui->rtbChat;
    AddCustomText(rtb, VL::instance().SessionWelcomeMsg, 0, false);
    FormatText(rtb, true, QString(76, u'_'), kDefaultFontColour, false, kDefaultFontName, 5);
    FormatText(rtb, true, kCrLf + kCrLf, kDefaultFontColour, false, kDefaultFontName, 10);
    m_ui->txtChat->setFocus();
}

// ---- Endpoint events -------------------------------------------------------

void FrmSession::enterJoinedSession()
{
    // A client cannot host as well: hosting options left open go.
    if (auto *options = FindForm<QWidget>(QStringLiteral("FrmServerOptions")))
        options->close();
    StartUpSession(m_endpoint->session().OverallMode);
    show();
    raise();
    activateWindow();
    m_ui->txtChat->setFocus();
}

void FrmSession::onListenerFailed(int number, const QString &description)
{
    Q_UNUSED(number)
    Q_UNUSED(description)
    forceClose();
}

void FrmSession::onPortNotConfigured(int port)
{
    hide();
    msgbox::show(this,
                 u"The server you are trying to join is using " + tables::PortNames(port)
                     + u"\nand it is not configured for use on your machine.\n\n"
                       u"Please enter the main options to fix.",
                 QStringLiteral("Not Configured"), msgbox::Icon::Warning);
    forceClose();
}

void FrmSession::onHostEnded()
{
    // The history and the last known players stay; nothing can be said.
    m_ui->txtChat->setEnabled(false);
    m_ui->cmdSend->setEnabled(false);
    m_ui->cmdSendTo->setEnabled(false);
    if (m_playerList)
        m_playerList->close();
}

void FrmSession::onStateApplied(int infoType)
{
    if (m_endpoint->session().isHost)
        return;
    UpdateHeaderForPort();
    if (infoType != 1)
        UpdateStatsBar();
}

// The player saved the main options: pass the new details on, and take the
// current players as the snapshot without announcing anything.
void FrmSession::onMyDetailsSaved()
{
    m_endpoint->refreshMyDetails();
    if (m_endpoint->isHost()) {
        UpdatePlayerList();
        m_endpoint->SendSessionState(0, 1);
    } else {
        m_endpoint->sendDetails();
    }
    m_endpoint->CheckPlayerChanges(true);
}

// ---- Views -----------------------------------------------------------------

void FrmSession::AddCustomText2(const QString &message, int messageType, bool addReturn)
{
    if (messageType < 0 || messageType > 3)
        return;
    AddCustomText(m_ui->rtbChat, message, messageType, addReturn);
}

void FrmSession::UpdateHeader(const QString &NewHeader, bool BlankOut)
{
    m_ui->lblHeader->setText(BlankOut ? NewHeader : m_headerBase + NewHeader);
}

void FrmSession::UpdateHeaderForPort()
{
    const VLSession &session = m_endpoint->session();
    m_headerBase = QStringLiteral("Velkor - Gaming Session");
    UpdateHeader(u" - " + tables::PortNames(session.CurrentPort)
                     + (session.isHost ? QStringLiteral(" - Hosting") : QStringLiteral(" - Join")),
                 false);
}

void FrmSession::UpdateStatsBar()
{
    const VLSession &session = m_endpoint->session();
    if (session.OverallMode == 2)
        return;
    const QString map = session.CurrentMap.isEmpty() ? GetMapName(session) : session.CurrentMap;
    m_panels[0]->setText(u"Mod: " + session.ModTC);
    m_panels[1]->setText(u"Type: " + strMode(session.Mode));
    m_panels[2]->setText(u"Map: " + map);
    m_panels[3]->setText(u"Level: " + strDifficulty(session.Difficulty));
}

void FrmSession::UpdatePlayerList()
{
    QListWidget *list = m_ui->lstPlayers;
    const PlayerTable &players = m_endpoint->players();
    const int me = m_endpoint->session().MyIndex;
    list->clear();
    for (int slot = 0; slot < qMin(players.size(), session::SlotCount); ++slot) {
        const SessionPlayers &player = players.at(slot);
        if (!player.IsActive)
            continue;
        auto *item
            = new QListWidgetItem(sessionIcon(slot == 0 ? SessionIcon::Host : SessionIcon::Player),
                                  FixedName(player.PlayerName), list);
        item->setData(Qt::UserRole, int(player.WinsockIndex));
        if (slot == me) {
            QFont own = item->font();
            own.setBold(true);
            item->setFont(own);
        }
    }
}

void FrmSession::UpdateFonts()
{
    QFont font(storedFontName());
    const std::optional<qint64> size
        = storedNumber(settings::fontSize(), kSmallestFontSize, kLargestFontSize);
    font.setPointSize(size ? int(*size) : kDefaultFontSize);
    const std::optional<qint64> style = storedNumber(settings::fontStyle(), 1, 4);
    font.setBold(false);
    font.setItalic(false);
    if (style == 2 || style == 4)
        font.setItalic(true);
    if (style == 3 || style == 4)
        font.setBold(true);
    m_ui->txtChat->setFont(font);

    const std::optional<qint64> colour
        = storedNumber(settings::fontColour(), 0, kDefaultFontColour);
    const QColor text = colourFromNumber(colour ? *colour : kDefaultFontColour);
    setTextColour(m_ui->txtChat, text);
    // "^0" in the chat view means the player's own colour.
    setTextColour(m_ui->rtbChat, text);
}

// ---- Chat ------------------------------------------------------------------

QString FrmSession::PTFS(const QPlainTextEdit *tb, const QString &Text)
{
    const QFont font = tb->font();
    return session::PTFS(colourToNumber(tb->palette().color(QPalette::Text)), font.family(),
                         font.pointSizeF(), font.bold(), font.italic(), font.underline(), Text);
}

namespace {

// The chat box's text with its line breaks as the wire writes them.
QString chatText(const QPlainTextEdit *box)
{
    QString text = box->toPlainText();
    text.replace(u'\n', kCrLf);
    return text;
}

} // namespace

void FrmSession::send()
{
    QPlainTextEdit *box = m_ui->txtChat;
    if (!box->isEnabled())
        return;
    const QString text = chatText(box);
    if (text.isEmpty())
        return;
    if (text == u"^?") {
        AddCustomText(m_ui->rtbChat, ColourHelpText(), 1, false);
        box->clear();
        return;
    }
    const QString styled = PTFS(box, text);
    m_endpoint->sendChat(styled);
    AddText(m_ui->rtbChat, QString::number(m_endpoint->session().MyIndex), styled,
            m_endpoint->players());
    box->clear();
    box->setFocus();
}

void FrmSession::SendTo(const QList<int> &targets)
{
    QPlainTextEdit *box = m_ui->txtChat;
    if (!box->isEnabled())
        return;
    const QString text = chatText(box);
    if (text.isEmpty())
        return;
    const QString styled = PTFS(box, text);
    AddText(m_ui->rtbChat, QString::number(m_endpoint->session().MyIndex), styled,
            m_endpoint->players());
    m_endpoint->sendChatTo(targets, styled);
    box->clear();
}

void FrmSession::limitChatBox()
{
    if (m_limiting)
        return;
    QPlainTextEdit *box = m_ui->txtChat;
    const int length = box->document()->characterCount() - 1; // the final paragraph end
    if (length <= MaxChatLength)
        return;
    m_limiting = true;
    // Drop what was just typed or pasted, just before the cursor; a cursor
    // too near the start drops the end instead.
    QTextCursor cursor = box->textCursor();
    const int excess = length - MaxChatLength;
    const int end = cursor.position() >= excess ? cursor.position() : length;
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    box->setTextCursor(cursor);
    m_limiting = false;
}

void FrmSession::showSendTo()
{
    if (m_playerList) {
        m_playerList->raise();
        m_playerList->activateWindow();
        return;
    }
    auto *list = new FrmPlayerList(this);
    list->setAttribute(Qt::WA_DeleteOnClose);
    m_playerList = list;
    list->show();
}

// ---- Commands ----------------------------------------------------------------

void FrmSession::refuseClient()
{
    msgbox::show(this, kHostOnly, kHostOnlyTitle, msgbox::Icon::Error);
}

void FrmSession::showPlayerDetails()
{
    if (!m_endpoint->session().isHost) {
        refuseClient();
        return;
    }
    if (m_playerDetails) {
        m_playerDetails->raise();
        m_playerDetails->activateWindow();
        return;
    }
    auto *details = new FrmPlayerDetails(m_endpoint->players(), this);
    details->setAttribute(Qt::WA_DeleteOnClose);
    m_playerDetails = details;
    details->show();
}

void FrmSession::showServerOptions()
{
    if (!m_endpoint->session().isHost) {
        refuseClient();
        return;
    }
    ShowServerOptions(this);
}

void FrmSession::showMainOptions()
{
    if (FrmOptions *options = options::ShowOptions(this))
        options->SelectTab(0);
}

void FrmSession::showFileTransfers()
{
    if (m_endpoint->session().isHost) {
        msgbox::show(this, QStringLiteral("File Transfer viewer for uploads not available yet."),
                     QStringLiteral("Not Available"), msgbox::Icon::Information);
    }
}

void FrmSession::quitVelkor()
{
    if (msgbox::show(this, QStringLiteral("Are you sure you wish to quit Velkor?"),
                     QStringLiteral("Quit Velkor"), msgbox::Icon::Question, msgbox::Buttons::YesNo)
        != msgbox::Answer::Yes)
        return;
    // No questions on the way out.
    boolForceClose = true;
    program::end();
}

void FrmSession::showPlayerMenu(const QPoint &globalPos)
{
    if (!m_endpoint->session().isHost)
        return;
    // The host's own entry serves no connection: there is nobody to kick.
    const QListWidgetItem *item = m_ui->lstPlayers->currentItem();
    bool numeric = false;
    const int tag = item && item->isSelected() ? item->data(Qt::UserRole).toInt(&numeric) : 0;
    m_playerMenu->actions().constFirst()->setEnabled(numeric && tag > 0);
    m_playerMenu->popup(globalPos);
}

void FrmSession::kickSelectedPlayer()
{
    if (!m_endpoint->session().isHost)
        return;
    const QListWidgetItem *item = m_ui->lstPlayers->currentItem();
    if (!item || !item->isSelected())
        return;
    bool numeric = false;
    const int tag = item->data(Qt::UserRole).toInt(&numeric);
    if (numeric && tag > 0)
        m_endpoint->KickPlayer(tag);
}

bool FrmSession::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->txtChat && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (m_ui->cmdSend->isEnabled())
                m_ui->cmdSend->click();
            return true;
        }
    } else if (watched == m_ui->lstPlayers->viewport()
               && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton)
            showPlayerMenu(mouse->globalPosition().toPoint());
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Closing -----------------------------------------------------------------

void FrmSession::forceClose()
{
    boolForceClose = true;
    close();
}

void FrmSession::closeEvent(QCloseEvent *event)
{
    if (!m_ended) {
        const bool ask = !boolForceClose;
        if (ask
            && msgbox::show(this, QStringLiteral("Are you sure you wish to leave this session?"),
                            QStringLiteral("Quit Session"), msgbox::Icon::Question,
                            msgbox::Buttons::YesNo)
                != msgbox::Answer::Yes) {
            event->ignore();
            return;
        }
        endSession();
    }
    event->accept();
}

void FrmSession::endSession()
{
    m_ended = true;
    // Nothing more comes in or goes out; the endpoint itself goes with the
    // window, which other windows may still find until it is deleted.
    m_endpoint->blockSignals(true);
    for (int i = 0; i < m_endpoint->socketCount(); ++i) {
        if (StreamSocket *socket = m_endpoint->socket(i))
            socket->close();
    }

    // The session and its players go with the endpoint; ending one resets
    // only what this window holds.
    if (runningWindow == this) {
        runningWindow = nullptr;
    }
}
