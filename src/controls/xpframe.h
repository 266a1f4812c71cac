#pragma once

#include <QColor>
#include <QGroupBox>
#include <QMargins>
#include <QString>

#include <optional>

// A group frame: a border with a caption whose access key moves the focus
// to the first control inside. A themed style draws it in the platform's
// look; the classic style gets an etched edge with the caption set into its
// top line. Without a border it is a plain coloured area, used for tab
// pages and backgrounds. Usable as a promoted group box in Designer forms
// (header "xpframe.h"); the group box title is the caption.
class XPFrame : public QGroupBox
{
    Q_OBJECT
    Q_CLASSINFO("ClassId", "Velkor2.XPFrame")
    Q_PROPERTY(QColor BackColor READ backColor WRITE setBackColor RESET resetBackColor NOTIFY
                   backColorChanged)
    Q_PROPERTY(bool Border READ hasBorder WRITE setBorder NOTIFY borderChanged)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool UseParentColor READ useParentColor WRITE setUseParentColor NOTIFY
                   useParentColorChanged)
    Q_PROPERTY(bool IsOnTabStrip READ isOnTabStrip WRITE setIsOnTabStrip NOTIFY isOnTabStripChanged)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption NOTIFY captionChanged)
    Q_PROPERTY(bool Themed READ isThemed STORED false)

public:
    explicit XPFrame(QWidget *parent = nullptr);
    ~XPFrame() override;

    // The colour the frame paints: white on a themed tab page, else with
    // UseParentColor the colour showing behind the frame, else the colour
    // set. Hosts copy it onto controls inside that fill their background.
    [[nodiscard]] QColor backColor() const;
    // An invalid colour stands for the system button face.
    void setBackColor(const QColor &colour);
    void resetBackColor() { setBackColor(QColor()); }

    [[nodiscard]] bool hasBorder() const { return m_border; }
    void setBorder(bool border);

    [[nodiscard]] bool useParentColor() const { return m_useParentColor; }
    void setUseParentColor(bool use);

    [[nodiscard]] bool isOnTabStrip() const { return m_isOnTabStrip; }
    void setIsOnTabStrip(bool onTabStrip);

    // Until one is set, the caption is the frame's object name.
    [[nodiscard]] QString caption() const { return title(); }
    void setCaption(const QString &caption);

    // True while the frame's style is a themed one rather than the classic
    // look.
    [[nodiscard]] bool isThemed() const;

    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void backColorChanged(const QColor &colour);
    void borderChanged(bool border);
    void enabledChanged(bool enabled);
    void useParentColorChanged(bool use);
    void isOnTabStripChanged(bool onTabStrip);
    void captionChanged(const QString &caption);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    [[nodiscard]] QColor colourBehind() const;
    [[nodiscard]] QSize captionSize() const;
    [[nodiscard]] QMargins wantedMargins() const;
    void paintClassic(QPainter &painter, const QColor &background);
    void applyMargins();
    void lookChanged();
    void reportBackColor();
    void followObjectName();
    void focusFirstChild();

    QColor m_backColor;
    QColor m_reportedColour;
    // The object name last shown as the caption, while none was set.
    std::optional<QString> m_nameCaption;
    bool m_border = true;
    bool m_useParentColor = true;
    bool m_isOnTabStrip = false;
};
