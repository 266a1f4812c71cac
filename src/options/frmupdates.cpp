#include "frmupdates.h"
#include "ui_frmupdates.h"

#include "shellactions.h"
#include "utilityrequests.h"
#include "vl.h"
#include "webfetch.h"

#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <QtMath>

namespace {

constexpr int RowCount = 3;
constexpr int PictureSize = 16;

const QString ConnectingText = QStringLiteral("Velkor is connecting to VE.Zuz...");
const QString NoVersionText
    = QStringLiteral("Error getting application version information, please reinstall.");
const QString NoContactText
    = QStringLiteral("Error contacting VE.Zuz, please check your connection.");
const QString NoInformationText = QStringLiteral("Error retreiving update information.");
const QString CheckingText = QStringLiteral("Checking for any available updates...");
const QString NoUpdatesText = QStringLiteral("There are no updates available");
const QString NewUpdateText = QStringLiteral("There is a new update available");

QString pictureName(FrmUpdates::Picture picture)
{
    switch (picture) {
    case FrmUpdates::Picture::Success:
        return QStringLiteral("Success");
    case FrmUpdates::Picture::Error:
        return QStringLiteral("Error");
    case FrmUpdates::Picture::Attention:
        return QStringLiteral("Attention");
    case FrmUpdates::Picture::None:
        break;
    }
    return {};
}

} // namespace

FrmUpdates::FrmUpdates(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::FrmUpdates>())
    , m_inet(new WebFetch(this))
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmUpdates"));

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    // Every text a row can show fits on one line, so the window keeps its
    // size while the stages change.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const QString &text : { ConnectingText, NoVersionText, NoContactText, NoInformationText,
                                 CheckingText, NoUpdatesText, NewUpdateText })
        widest = qMax(widest, metrics.horizontalAdvance(text));
    for (int row = 0; row < RowCount; ++row) {
        image(row)->setFixedSize(PictureSize, PictureSize);
        label(row)->setMinimumWidth(widest + metrics.averageCharWidth());
        label(row)->setMinimumHeight(qMax(PictureSize, metrics.height()));
    }

    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->cmdURL, &QPushButton::clicked, this, &FrmUpdates::getUpdate);
    connect(m_inet, &WebFetch::finished, this, &FrmUpdates::replyArrived);

    startCheck();
}

FrmUpdates::~FrmUpdates() = default;

FrmUpdates::Picture FrmUpdates::picture(int row) const
{
    return row >= 0 && row < RowCount ? m_pictures[row] : Picture::None;
}

QLabel *FrmUpdates::image(int row) const
{
    QLabel *const images[RowCount] = { m_ui->imgStage_0, m_ui->imgStage_1, m_ui->imgStage_2 };
    return images[row];
}

QLabel *FrmUpdates::label(int row) const
{
    QLabel *const labels[RowCount] = { m_ui->lblStage_0, m_ui->lblStage_1, m_ui->lblStage_2 };
    return labels[row];
}

void FrmUpdates::startCheck()
{
    const QString version = VL::instance().Version;
    setStage(0, ConnectingText);
    if (version.isEmpty()) {
        flagError(0, NoVersionText);
        return;
    }
    m_inet->setRequestTimeoutMs(utilityRequestTimeoutMs());
    if (!m_inet->get(UpdateCheckURL(version)))
        replyArrived({}, false);
}

void FrmUpdates::replyArrived(const QString &body, bool ok)
{
    m_inet->cancel();
    if (!ok) {
        flagError(0, NoContactText);
        return;
    }
    // Whatever is not a version counts as no answer: a hostile reply can
    // neither claim an update nor reach the labels.
    const QString payload = ReplyPayload(body).trimmed();
    if (!IsVersionText(payload)) {
        flagError(0);
        flagAttention(0, NoInformationText);
        return;
    }
    m_newestVersion = payload;
    flagSuccess(0);
    checkVersions();
}

void FrmUpdates::checkVersions()
{
    setStage(1, CheckingText);
    const bool newer = Update_CheckVersions(m_newestVersion, VL::instance().Version);
    flagSuccess(1);
    if (newer) {
        showNewUpdate();
        return;
    }
    flagSuccess(2);
    setStage(2, NoUpdatesText);
}

void FrmUpdates::showNewUpdate()
{
    setStage(2, NewUpdateText, true);
    flagAttention(2);
    m_ui->cmdURL->setVisible(true);
    m_ui->cmdURL->setEnabled(true);
    m_ui->cmdURL->setFocus();
}

void FrmUpdates::getUpdate()
{
    if (shell::openProductSite(this))
        close();
}

void FrmUpdates::flagSuccess(int row)
{
    setPicture(row, Picture::Success);
}

void FrmUpdates::flagError(int row, const QString &text)
{
    setPicture(row, Picture::Error);
    if (!text.isEmpty() && row + 1 < RowCount)
        setStage(row + 1, text, true);
}

void FrmUpdates::flagAttention(int row, const QString &text)
{
    if (text.isEmpty()) {
        setPicture(row, Picture::Attention);
        return;
    }
    if (row + 1 >= RowCount)
        return;
    setPicture(row + 1, Picture::Attention);
    setStage(row + 1, text, true);
}

void FrmUpdates::setPicture(int row, Picture picture)
{
    m_pictures[row] = picture;
    QLabel *img = image(row);
    img->setPixmap(drawPicture(picture, PictureSize, img->devicePixelRatioF()));
    img->setAccessibleName(pictureName(picture));
}

void FrmUpdates::setStage(int row, const QString &text, bool bold)
{
    QLabel *lbl = label(row);
    QFont font = lbl->font();
    font.setBold(bold);
    lbl->setFont(font);
    lbl->setText(text);
}

void FrmUpdates::repaintPictures()
{
    for (int row = 0; row < RowCount; ++row)
        setPicture(row, m_pictures[row]);
}

void FrmUpdates::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    repaintPictures();
    if (QWindow *window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &FrmUpdates::repaintPictures,
                Qt::UniqueConnection);
    }
}

QPixmap FrmUpdates::drawPicture(Picture picture, int size, qreal devicePixelRatio)
{
    const qreal ratio = qMax(devicePixelRatio, 1.0);
    const int pixels = qCeil(size * ratio);
    QPixmap pixmap(pixels, pixels);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (picture == Picture::None)
        return pixmap;

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF disc(0.5, 0.5, s - 1.0, s - 1.0);

    QPen mark(Qt::white, s * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (picture) {
    case Picture::Success: {
        QRadialGradient fill(disc.center() - QPointF(s * 0.15, s * 0.2), s * 0.7);
        fill.setColorAt(0, QColor(0x5c, 0xc8, 0x5a));
        fill.setColorAt(1, QColor(0x1e, 0x8a, 0x2e));
        painter.setPen(QPen(QColor(0x17, 0x6b, 0x24), 1.0));
        painter.setBrush(fill);
        painter.drawEllipse(disc);
        painter.setPen(mark);
        const QPointF tick[]
            = { { s * 0.27, s * 0.53 }, { s * 0.44, s * 0.70 }, { s * 0.74, s * 0.34 } };
        painter.drawPolyline(tick, 3);
        break;
    }
    case Picture::Error: {
        QRadialGradient fill(disc.center() - QPointF(s * 0.15, s * 0.2), s * 0.7);
        fill.setColorAt(0, QColor(0xf2, 0x6b, 0x5b));
        fill.setColorAt(1, QColor(0xc4, 0x23, 0x1b));
        painter.setPen(QPen(QColor(0x9a, 0x1a, 0x14), 1.0));
        painter.setBrush(fill);
        painter.drawEllipse(disc);
        painter.setPen(mark);
        const qreal a = s * 0.33;
        const qreal b = s * 0.67;
        painter.drawLine(QPointF(a, a), QPointF(b, b));
        painter.drawLine(QPointF(a, b), QPointF(b, a));
        break;
    }
    case Picture::Attention: {
        QPainterPath triangle;
        triangle.moveTo(s * 0.5, 0.8);
        triangle.lineTo(s - 0.6, s - 1.2);
        triangle.lineTo(0.6, s - 1.2);
        triangle.closeSubpath();
        QLinearGradient fill(0, 0, 0, s);
        fill.setColorAt(0, QColor(0xff, 0xd2, 0x4d));
        fill.setColorAt(1, QColor(0xf0, 0x9a, 0x10));
        painter.setPen(
            QPen(QColor(0xa8, 0x66, 0x00), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(fill);
        painter.drawPath(triangle);
        const QColor ink(0x3a, 0x2a, 0x00);
        painter.setPen(QPen(ink, s * 0.13, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(s * 0.5, s * 0.36), QPointF(s * 0.5, s * 0.62));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(s * 0.5, s * 0.78), s * 0.075, s * 0.075);
        break;
    }
    case Picture::None:
        break;
    }
    return pixmap;
}
