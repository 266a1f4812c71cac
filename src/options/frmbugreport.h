#pragma once

#include <QDialog>

#include <memory>

class WebFetch;

namespace Ui {
class FrmBugReport;
}

// Sends a short problem report with an area of the program to the web
// directory. The request runs without blocking the window; Send stays
// disabled until it ends.
class FrmBugReport final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int MaxReportLength = 1000;

    explicit FrmBugReport(QWidget *parent = nullptr);
    ~FrmBugReport() override;

    [[nodiscard]] bool isSending() const;

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void send();
    void replyArrived(const QString &body, bool ok);
    void noteChange(int position, int removed, int added);
    void limitReport();

    std::unique_ptr<Ui::FrmBugReport> m_ui;
    WebFetch *m_inet = nullptr;
    // End of the last edit of the report, where a cut to the limit starts.
    int m_changeEnd = 0;
    bool m_limiting = false;
};
