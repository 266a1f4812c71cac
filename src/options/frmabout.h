#pragma once

#include <QColor>
#include <QDialog>

#include <memory>

namespace Ui {
class FrmAbout;
}

// The program's name, version and a link to the product web site.
class FrmAbout final : public QDialog
{
    Q_OBJECT

public:
    // The link's colours: dark blue at rest, teal under the mouse.
    static inline const QColor LinkColour = QColor(0x00, 0x00, 0x80);
    static inline const QColor HoverColour = QColor(0x00, 0xC0, 0xC0);

    explicit FrmAbout(QWidget *parent = nullptr);
    ~FrmAbout() override;

    [[nodiscard]] QColor linkColour() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void setLinkColour(const QColor &colour);
    void openSite();

    std::unique_ptr<Ui::FrmAbout> m_ui;
};
