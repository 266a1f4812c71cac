#include "frmabout.h"
#include "ui_frmabout.h"

#include "shellactions.h"
#include "vl.h"
#include "website.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr int IconSize = 32;

} // namespace

FrmAbout::FrmAbout(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::FrmAbout>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmAbout"));

    m_ui->lblTitle->setText(u"Velkor - Version " + VL::instance().Version);
    // The address comes from the settings: shown as plain text only.
    m_ui->lblURL->setText(Website(1));
    m_ui->lblURL->installEventFilter(this);
    // Moves, not only entering, turn the link teal: a window can open with
    // the pointer already over it.
    m_ui->lblURL->setMouseTracking(true);
    setLinkColour(LinkColour);
    QPalette linkPalette = m_ui->lblURL->palette();
    QColor tint = linkPalette.color(QPalette::Highlight);
    tint.setAlpha(48);
    linkPalette.setColor(QPalette::Window, tint);
    m_ui->lblURL->setPalette(linkPalette);

    // The program's own icon, when the application has one.
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        m_ui->imgIcon->hide();
    } else {
        m_ui->imgIcon->setFixedSize(IconSize, IconSize);
        m_ui->imgIcon->setPixmap(icon.pixmap(QSize(IconSize, IconSize), devicePixelRatioF()));
    }

    // Moving over the background turns the link back to its resting colour.
    setMouseTracking(true);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QDialog::close);
    m_ui->cmdClose->setFocus();
}

FrmAbout::~FrmAbout() = default;

QColor FrmAbout::linkColour() const
{
    return m_ui->lblURL->palette().color(QPalette::WindowText);
}

void FrmAbout::setLinkColour(const QColor &colour)
{
    QPalette palette = m_ui->lblURL->palette();
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    m_ui->lblURL->setPalette(palette);
}

void FrmAbout::openSite()
{
    shell::openProductSite(this);
}

bool FrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui->lblURL)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        setLinkColour(HoverColour);
        break;
    case QEvent::Leave:
        setLinkColour(LinkColour);
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton
            && m_ui->lblURL->rect().contains(mouse->position().toPoint())) {
            openSite();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        // A label draws no focus mark of its own: tint its background.
        m_ui->lblURL->setAutoFillBackground(event->type() == QEvent::FocusIn);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            openSite();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmAbout::mouseMoveEvent(QMouseEvent *event)
{
    // The link's own moves come here too, as a label leaves them to its
    // parent.
    const QPoint onLink = m_ui->lblURL->mapFrom(this, event->position().toPoint());
    setLinkColour(m_ui->lblURL->rect().contains(onLink) ? HoverColour : LinkColour);
    QDialog::mouseMoveEvent(event);
}

void FrmAbout::mousePressEvent(QMouseEvent *event)
{
    const QPoint onLink = m_ui->lblURL->mapFrom(this, event->position().toPoint());
    if (!m_ui->lblURL->rect().contains(onLink))
        setLinkColour(LinkColour);
    QDialog::mousePressEvent(event);
}
