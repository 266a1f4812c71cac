#include "frmmain.h"

#include "programend.h"

#include "forms.h"
#include "frmip.h"
#include "frmserveroptions.h"
#include "frmsession.h"
#include "listviews.h"
#include "messagebox.h"
#include "optionswindows.h"
#include "statuspanel.h"
#include "toolicons.h"
#include "vlsession.h"
#include "windowcentre.h"

#include "ui_frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QStatusBar>

FrmMain::FrmMain(QWidget *parent)
    : QMainWindow { parent }
    , m_ui { std::make_unique<Ui::FrmMain>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmMain"));
    setAttribute(Qt::WA_DeleteOnClose);

    setUpViews();
    setUpStatusBar();
    setUpActions();
    CentreWindow(this);
}

FrmMain::~FrmMain() = default;

void FrmMain::setUpViews()
{
    QPalette header = m_ui->lblHeader->palette();
    header.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
    header.setColor(QPalette::WindowText, QColor(0xc0, 0xc0, 0xc0));
    m_ui->lblHeader->setPalette(header);
    QFont headerFont = m_ui->lblHeader->font();
    headerFont.setBold(true);
    m_ui->lblHeader->setFont(headerFont);

    QPalette tree = m_ui->lstItems->palette();
    tree.setColor(QPalette::Base, Qt::black);
    tree.setColor(QPalette::Window, Qt::black);
    tree.setColor(QPalette::Text, Qt::cyan);
    tree.setColor(QPalette::WindowText, Qt::cyan); // the branch arrows
    m_ui->lstItems->setPalette(tree);

    m_ui->lstItems->setModel(new QStandardItemModel(m_ui->lstItems));
    m_ui->lstTools->setModel(new QStandardItemModel(m_ui->lstTools));
    for (QTreeView *list : { m_ui->lstServers, m_ui->lstPlayers }) {
        list->setModel(new QStandardItemModel(list));
        // Rows keep the order of the slots they come from.
        list->header()->setSectionsClickable(false);
        list->header()->setSortIndicatorShown(false);
        list->header()->setSectionResizeMode(QHeaderView::Interactive);
        list->header()->setDefaultSectionSize(96);
        EnableFullRow(list);
    }
    SetLVHeaders(m_ui->lstServers, QStringLiteral("SERVERS"));
    SetLVHeaders(m_ui->lstPlayers, QStringLiteral("PLAYERS"));
    CreateTVObjects(m_ui->lstItems);

    // Tree and tool list on the left, about a third of the width; the two
    // lists on the right share the height.
    m_ui->lstGroup->setStretchFactor(0, 0);
    m_ui->lstGroup->setStretchFactor(1, 1);
    m_ui->lstGroup->setSizes({ 180, 530 });
    m_ui->splLeft->setSizes({ 200, 140 });
    m_ui->splRight->setSizes({ 170, 170 });
}

void FrmMain::setUpStatusBar()
{
    QStatusBar *bar = m_ui->StatsBar;
    bar->setSizeGripEnabled(true);
    bar->addWidget(statusPanel(bar, QStringLiteral("StatsBar_1"), QStringLiteral("0 Lobby(s)")));
    bar->addWidget(
        statusPanel(bar, QStringLiteral("StatsBar_2"), QStringLiteral("0 Game Server(s)")));
    bar->addWidget(
        statusPanel(bar, QStringLiteral("StatsBar_3"), QStringLiteral("0 Chat Server(s)")));
    bar->addWidget(statusPanel(bar, QStringLiteral("StatsBar_4"),
                               QStringLiteral(" Version 2.0 - Preview Release 1.3")),
                   1);
}

void FrmMain::setUpActions()
{
    Ui::FrmMain &ui = *m_ui;
    ui.tbStartSession->setIcon(toolIcon(ToolIcon::StartSession));
    ui.tbJoinSession->setIcon(toolIcon(ToolIcon::JoinSession));
    ui.tbSinglePlayer->setIcon(toolIcon(ToolIcon::SinglePlayer));
    ui.tbMultiPlayer->setIcon(toolIcon(ToolIcon::MultiPlayer));
    ui.tbRefresh->setIcon(toolIcon(ToolIcon::Refresh));
    ui.tbOptions->setIcon(toolIcon(ToolIcon::Options));
    ui.tbExit->setIcon(toolIcon(ToolIcon::Exit));
    ui.mnuSessionWizard->setIcon(toolIcon(ToolIcon::StartSession));
    ui.mnuHostGame->setIcon(toolIcon(ToolIcon::MultiPlayer));
    ui.mnuJoinGame->setIcon(toolIcon(ToolIcon::JoinSession));
    ui.mnuOptions->setIcon(toolIcon(ToolIcon::Options));
    ui.mnuExit->setIcon(toolIcon(ToolIcon::Exit));
    ui.mnuCheckUpdates->setIcon(toolIcon(ToolIcon::Refresh));
    ui.mnuVelkorHelp->setIcon(toolIcon(ToolIcon::Help));
    ui.mnuBugReport->setIcon(toolIcon(ToolIcon::BugReport));
    ui.mnuAbout->setIcon(QApplication::windowIcon());

    // Each button shows its text as a tip in the status bar as well.
    for (QAction *action : ui.Toolbar->actions()) {
        if (!action->isSeparator())
            action->setStatusTip(action->toolTip());
    }

    connect(ui.tbMultiPlayer, &QAction::triggered, this, &FrmMain::StartMP);
    connect(ui.mnuHostGame, &QAction::triggered, this, &FrmMain::StartMP);
    connect(ui.tbJoinSession, &QAction::triggered, this, &FrmMain::StartJoin);
    connect(ui.mnuJoinGame, &QAction::triggered, this, &FrmMain::StartJoin);
    const auto showOptions = [this] { options::ShowOptions(this); };
    connect(ui.tbOptions, &QAction::triggered, this, showOptions);
    connect(ui.mnuOptions, &QAction::triggered, this, showOptions);
    connect(ui.tbExit, &QAction::triggered, this, &FrmMain::exitRequested);
    connect(ui.mnuExit, &QAction::triggered, this, &FrmMain::exitRequested);
    connect(ui.mnuCheckUpdates, &QAction::triggered, this, [this] { options::ShowUpdates(this); });
    connect(ui.mnuBugReport, &QAction::triggered, this, [this] { options::ShowBugReport(this); });
    connect(ui.mnuAbout, &QAction::triggered, this, [this] { options::ShowAbout(this); });
}

namespace {

const QString kJoinError = QStringLiteral("Join Error");
const QString kSessionRunning
    = QStringLiteral("You cannot join another session while a current session is running.\n\n"
                     "Please close all open sessions and try again.");

bool sessionWindowOpen()
{
    return IsFormLoaded(QStringLiteral("FrmSession"));
}

} // namespace

void FrmMain::StartMP()
{
    if (sessionWindowOpen()) {
        const FrmSession *running = FrmSession::running();
        const QString text = running != nullptr && running->endpoint().session().isHost
            ? QStringLiteral("You are already hosting a session.\n\n"
                             "Please close that session and try again.")
            : kSessionRunning;
        msgbox::show(this, text, kJoinError, msgbox::Icon::Error);
        return;
    }
    ShowServerOptions(this);
}

void FrmMain::StartJoin()
{
    const FrmSession *running = FrmSession::running();
    if (running != nullptr && running->endpoint().session().isHost) {
        msgbox::show(this, QStringLiteral("You cannot join a session while hosting another."),
                     kJoinError, msgbox::Icon::Error);
        return;
    }
    if (sessionWindowOpen()) {
        msgbox::show(this, kSessionRunning, kJoinError, msgbox::Icon::Error);
        return;
    }
    ShowJoinWindow(this);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    const msgbox::Answer answer = msgbox::show(
        this, QStringLiteral("Are you sure you wish to quit Velkor?"),
        QStringLiteral("Quit Velkor"), msgbox::Icon::Question, msgbox::Buttons::YesNo);
    event->ignore();
    // Yes ends the program, a running session with it, as every Quit does.
    if (answer == msgbox::Answer::Yes)
        program::end();
}
