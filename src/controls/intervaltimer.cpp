#include "intervaltimer.h"

#include <algorithm>

using namespace std::chrono_literals;

IntervalTimer::IntervalTimer(QObject *parent)
    : QObject { parent }
{
    m_clock.setInterval(1000ms);
    m_clock.setTimerType(Qt::CoarseTimer);
    connect(&m_clock, &QTimer::timeout, this, &IntervalTimer::tick);
}

IntervalTimer::~IntervalTimer()
{
    m_clock.stop();
}

void IntervalTimer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    // Enabling starts a fresh second; the ticks counted so far are kept.
    if (enabled)
        m_clock.start();
    else
        m_clock.stop();
    emit enabledChanged(enabled);
}

void IntervalTimer::setInterval(int seconds)
{
    seconds = std::max(seconds, 0);
    if (seconds == m_interval)
        return;
    m_interval = seconds;
    emit intervalChanged(seconds);
}

void IntervalTimer::setTickLength(std::chrono::milliseconds length)
{
    m_clock.setInterval(std::max(length, 1ms));
}

void IntervalTimer::tick()
{
    ++m_ticks;
    if (m_ticks >= m_interval) {
        m_ticks = 0;
        emit Timer();
    }
}
