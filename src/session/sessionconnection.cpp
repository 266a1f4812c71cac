#include "sessionconnection.h"

#include "wiretext.h"

#include <QPointer>

using namespace session;

SessionConnection::SessionConnection(int index, Direction direction, QObject *parent)
    : QObject(parent)
    , m_index(index)
    , m_direction(direction)
    , m_socket(new StreamSocket(index, this))
{
    m_timer.setSingleShot(true);
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { emit timedOut(this); });
    connect(&m_settle, &QTimer::timeout, this, [this] { deliver(Tail::Take); });
    connect(m_socket, &StreamSocket::dataArrival, this, &SessionConnection::onDataArrival);
}

void SessionConnection::setState(State state)
{
    m_state = state;
    if (state == State::Transfer)
        m_socket->setTag(RoleFile.toString());
}

void SessionConnection::setSlot(int slot)
{
    m_slot = slot;
    // The tag names the slot, as the protocol's bookkeeping always has.
    m_socket->setTag(slot >= 0 ? QString::number(slot) : QString());
}

void SessionConnection::startTimer(int milliseconds)
{
    m_timer.start(milliseconds);
}

void SessionConnection::stopTimer()
{
    m_timer.stop();
}

bool SessionConnection::send(const QString &text)
{
    return m_socket->send(text);
}

void SessionConnection::reset()
{
    m_timer.stop();
    m_settle.stop();
    m_buffer.clear();
    m_state = State::Free;
    setSlot(-1);
    m_socket->close();
}

void SessionConnection::onDataArrival(int index, const QByteArray &read)
{
    Q_UNUSED(index)
    takeRead(read);
}

void SessionConnection::takeRead(const QByteArray &read)
{
    if (read.isEmpty())
        return;
    m_buffer += read;
    if (m_buffer.size() > m_maxBuffered) {
        m_settle.stop();
        m_buffer.clear();
        emit overflowed(this);
        return;
    }
    // A short read ends what its sender sent; a long one may be cut.
    deliver(read.size() < ShortRead ? Tail::Take : Tail::Hold);
}

void SessionConnection::deliver(Tail tail)
{
    m_settle.stop();
    const QString text = wire::toText(m_buffer);
    const Framed framed = frame(text, m_direction, tail);
    m_buffer.remove(0, framed.consumed);
    if (!m_buffer.isEmpty())
        m_settle.start();
    const QPointer<SessionConnection> alive(this);
    for (const Message &message : framed.messages) {
        // A handler may end the connection; what it held is gone then.
        if (!alive || m_state == State::Free)
            return;
        emit received(this, message);
    }
}
