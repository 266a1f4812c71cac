#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <memory>

class QLabel;
class WebFetch;

namespace Ui {
class FrmUpdates;
}

// Asks the web directory for the newest version and shows the answer in
// three stage rows; offers the product web site when there is an update.
// The check starts as the window is created and runs without blocking it.
class FrmUpdates final : public QDialog
{
    Q_OBJECT

public:
    enum class Picture { None, Success, Error, Attention };

    explicit FrmUpdates(QWidget *parent = nullptr);
    ~FrmUpdates() override;

    // The newest version the directory reported; empty until then.
    [[nodiscard]] QString newestVersion() const { return m_newestVersion; }
    // The picture shown at row (0 to 2).
    [[nodiscard]] Picture picture(int row) const;

    // Draws a stage picture of the given logical size for a device pixel
    // ratio, so that it stays sharp when scaled.
    [[nodiscard]] static QPixmap drawPicture(Picture picture, int size, qreal devicePixelRatio);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void startCheck();
    void replyArrived(const QString &body, bool ok);
    void checkVersions();
    void showNewUpdate();
    void getUpdate();

    void flagSuccess(int row);
    void flagError(int row, const QString &text = {});
    void flagAttention(int row, const QString &text = {});
    void setPicture(int row, Picture picture);
    void setStage(int row, const QString &text, bool bold = false);
    void repaintPictures();
    [[nodiscard]] QLabel *image(int row) const;
    [[nodiscard]] QLabel *label(int row) const;

    std::unique_ptr<Ui::FrmUpdates> m_ui;
    WebFetch *m_inet = nullptr;
    QString m_newestVersion;
    Picture m_pictures[3] = { Picture::None, Picture::None, Picture::None };
};
