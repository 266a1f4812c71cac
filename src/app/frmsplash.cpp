#include "frmsplash.h"

#include "artwork.h"
#include "frmmain.h"
#include "frmoptions.h"
#include "messagebox.h"
#include "optionswindows.h"
#include "sessionplayers.h"
#include "settingsstore.h"
#include "startup.h"
#include "tables.h"
#include "vl.h"
#include "vlsession.h"
#include "windowcentre.h"

#include "ui_frmsplash.h"

#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int kWidth = 411;
constexpr int kHeight = 176;

int &endIntervalMs()
{
    static int interval = 500;
    return interval;
}

// Marks an options window whose completed first run already reopens the
// splash, so that it never does so twice.
constexpr char kSplashLinked[] = "velkorSplashLinked";

void setLabelColour(QWidget *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

FrmSplash::FrmSplash(QWidget *parent)
    : QWidget { parent, Qt::SplashScreen | Qt::FramelessWindowHint }
    , m_ui { std::make_unique<Ui::FrmSplash>() }
    , m_tmrEnd { new QTimer(this) }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kWidth, kHeight);
    QMargins margins = m_ui->laySplash->contentsMargins();
    margins.setLeft(qRound(artwork::splashTextLeft()) + 2);
    m_ui->laySplash->setContentsMargins(margins);
    setWindowIcon(artwork::programIcon());

    QFont text = font();
    text.setPixelSize(13);
    text.setBold(true);
    m_ui->lblVersion->setFont(text);
    setLabelColour(m_ui->lblVersion, QColor(0xd5, 0xdc, 0xe4));
    text.setBold(false);
    m_ui->lblEdition->setFont(text);
    setLabelColour(m_ui->lblEdition, QColor(0xf5, 0xa0, 0x1a));
    text.setPixelSize(11);
    text.setItalic(true);
    m_ui->lblLoading->setFont(text);
    setLabelColour(m_ui->lblLoading, QColor(0x8f, 0xa0, 0xb2));

    m_tmrEnd->setObjectName(QStringLiteral("tmrEnd"));
    m_tmrEnd->setSingleShot(true);
    m_tmrEnd->setInterval(endIntervalMs());
    connect(m_tmrEnd, &QTimer::timeout, this, &FrmSplash::splashEnd);

    CentreWindow(this);
}

FrmSplash::~FrmSplash() = default;

int FrmSplash::setEndInterval(int milliseconds)
{
    return std::exchange(endIntervalMs(), qMax(0, milliseconds));
}

int FrmSplash::endInterval()
{
    return endIntervalMs();
}

void FrmSplash::Load()
{
    VL &vl = VL::instance();
    vl.Version = QStringLiteral("2.0.13");

    const bool firstRun = vl.CheckFirstRun();
    // Reading the store is what finds a damaged file; say so before the
    // first-run message that follows from it.
    const QString notice = store::takeRecoveryNotice();
    if (!notice.isEmpty())
        msgbox::show(this, notice, QStringLiteral("Velkor"), msgbox::Icon::Warning);
    if (firstRun) {
        vl.SetDefaultRegVals();
        vl.FirstRun = true;
        msgbox::show(this,
                     QStringLiteral("This is the first time you have launched Velkor 2.0\r\n"
                                    "Please complete your details in the main options to "
                                    "continue."),
                     QStringLiteral("Velkor"), msgbox::Icon::Information);
    }

    m_tmrEnd->start();

    startup::InitGlobals();
    vl.LoadPortPaths();
    tables::FillLevelTable();
    tables::FillPortNames();
    // The player's details are checked (a bad age put right) and the
    // network type read; a session takes them when it starts.
    (void)vl.MyDetails();
    vl.CurrentPort = quint8(vl.GetDefaultPort() + 1);
    vl.SetPortPaths(vl.CurrentPort);
    tables::FillCountryTable();
}

void FrmSplash::splashEnd()
{
    m_tmrEnd->stop();
    if (VL::instance().FirstRun) {
        FrmOptions *options = options::ShowOptions(nullptr);
        if (options) {
            if (!options->property(kSplashLinked).toBool()) {
                options->setProperty(kSplashLinked, true);
                // Direct: the new splash must be showing before the options
                // window closes, or the program would end with it.
                connect(options, &FrmOptions::firstRunCompleted, options,
                        [] { startup::ShowSplash(); });
            }
            // After the splash has gone: the detection may wait on the
            // network.
            QTimer::singleShot(0, options, [options] { options->AutoDetectNetwork(); });
        }
    } else {
        FrmMain *main = startup::ShowMainWindow();
        startup::CheckLastRun(main);
    }
    close();
}

void FrmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    artwork::drawSplash(painter, rect());
}
