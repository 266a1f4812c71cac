#include "frmbugreport.h"
#include "ui_frmbugreport.h"

#include "messagebox.h"
#include "settings.h"
#include "shellactions.h"
#include "utilityrequests.h"
#include "vl.h"
#include "webfetch.h"

#include <QHideEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

const QString ErrorTitle = QStringLiteral("Error");
const QString BugReportTitle = QStringLiteral("Bug Report");

} // namespace

FrmBugReport::FrmBugReport(QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::FrmBugReport>())
    , m_inet(new WebFetch(this))
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmBugReport"));

    // Room for a few lines of a full-width report without a huge window.
    const QFontMetrics metrics(m_ui->txtReport->font());
    m_ui->txtReport->setMinimumSize(metrics.averageCharWidth() * 60, metrics.lineSpacing() * 8);
    m_ui->cboArea->setCurrentIndex(0);

    connect(m_ui->txtReport->document(), &QTextDocument::contentsChange, this,
            &FrmBugReport::noteChange);
    connect(m_ui->txtReport, &QPlainTextEdit::textChanged, this, &FrmBugReport::limitReport);
    connect(m_ui->cmdSend, &QPushButton::clicked, this, &FrmBugReport::send);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_inet, &WebFetch::finished, this, &FrmBugReport::replyArrived);
}

FrmBugReport::~FrmBugReport() = default;

bool FrmBugReport::isSending() const
{
    return m_inet->isBusy();
}

void FrmBugReport::send()
{
    if (m_inet->isBusy())
        return;
    if (m_ui->cboArea->currentIndex() < 1) {
        msgbox::show(this, QStringLiteral("Please select area of the issue."), ErrorTitle,
                     msgbox::Icon::Warning);
        m_ui->cboArea->setFocus();
        return;
    }
    const QString report = m_ui->txtReport->toPlainText();
    if (report.trimmed().isEmpty()) {
        msgbox::show(this, QStringLiteral("Please explain your issue."), ErrorTitle,
                     msgbox::Icon::Warning);
        m_ui->txtReport->setFocus();
        return;
    }

    const QString version = VL::instance().Version;
    if (version.isEmpty()) {
        msgbox::show(
            this,
            QStringLiteral("Error getting application version information, please reinstall."),
            QString(), msgbox::Icon::Error);
        shell::endProgram();
        return;
    }

    const QUrl url
        = BugReportURL(version, settings::playerName(), m_ui->cboArea->currentText(), report);
    m_inet->setRequestTimeoutMs(utilityRequestTimeoutMs());
    if (!m_inet->get(url)) {
        replyArrived({}, false);
        return;
    }
    m_ui->cmdSend->setEnabled(false);
}

void FrmBugReport::replyArrived(const QString &body, bool ok)
{
    m_inet->cancel();
    m_ui->cmdSend->setEnabled(true);
    if (ok && ReplyPayload(body) == u"OK") {
        msgbox::show(this, QStringLiteral("Bug Report successfully logged."), BugReportTitle,
                     msgbox::Icon::Information);
        close();
        return;
    }
    msgbox::show(this,
                 QStringLiteral("Error whilst sending bug report, please ensure you are connected "
                                "to the internet."),
                 BugReportTitle, msgbox::Icon::Warning);
}

void FrmBugReport::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    // A closed window drops its request without telling anyone.
    const QSignalBlocker blocker(m_inet);
    m_inet->cancel();
    m_ui->cmdSend->setEnabled(true);
}

void FrmBugReport::noteChange(int position, int /*removed*/, int added)
{
    m_changeEnd = position + added;
}

void FrmBugReport::limitReport()
{
    if (m_limiting)
        return;
    QTextDocument *document = m_ui->txtReport->document();
    const int length = document->characterCount() - 1;
    const int excess = length - MaxReportLength;
    if (excess <= 0)
        return;

    // Cut the end of what was just typed or pasted, so the text that was
    // there stays as it was.
    int end = qBound(excess, m_changeEnd, length);
    int start = end - excess;
    // Never split a character made of two UTF-16 units.
    if (start > 0 && document->characterAt(start).isLowSurrogate())
        --start;
    if (end < length && document->characterAt(end).isLowSurrogate())
        ++end;

    const QScopedValueRollback guard(m_limiting, true);
    QTextCursor cut(document);
    cut.joinPreviousEditBlock();
    cut.setPosition(start);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    cut.endEditBlock();

    QTextCursor caret = m_ui->txtReport->textCursor();
    caret.setPosition(start);
    m_ui->txtReport->setTextCursor(caret);
}
