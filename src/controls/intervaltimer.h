#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

// A timer whose interval is counted in whole seconds. An inner timer ticks
// once a second while enabled; every Interval ticks raise Timer. The tick
// count survives disabling, so a paused schedule resumes where it stopped.
class IntervalTimer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("ClassId", "Velkor2.IntervalTimer")
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(int Interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(QString Tag READ tag WRITE setTag)

public:
    explicit IntervalTimer(QObject *parent = nullptr);
    ~IntervalTimer() override;

    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // Seconds between two Timer events; 0 fires every second and a negative
    // value is taken as 0.
    // Changing it keeps the ticks already counted.
    [[nodiscard]] int interval() const { return m_interval; }
    void setInterval(int seconds);

    // Free text for the owner, e.g. the command a scheduled timer runs.
    [[nodiscard]] QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Seconds counted since the last Timer event.
    [[nodiscard]] int tickCount() const { return m_ticks; }

signals:
    void Timer();
    void enabledChanged(bool enabled);
    void intervalChanged(int seconds);

protected:
    // Length of one counted second; lets tests run many seconds quickly.
    void setTickLength(std::chrono::milliseconds length);

private:
    void tick();

    QTimer m_clock { this };
    QString m_tag;
    int m_interval = 0;
    int m_ticks = 0;
    bool m_enabled = false;
};
