#pragma once

#include "sessioncodec.h"
#include "streamsocket.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

// One session connection: its socket, its authorisation timer, where it
// stands, the slot it serves and its receive buffer. Reads are collected in
// the buffer and split into whole messages, so that messages that arrive
// together are each handled and a message the network split arrives whole.
//
// A message whose last field is free text can only be known whole when the
// next message starts behind it. One at the end of a short read is taken at
// once (a sender's last TCP segment is short); one at the end of a long read
// waits for the settle interval, in which the rest of a split message comes.
class SessionConnection final : public QObject
{
    Q_OBJECT

public:
    // Where a connection stands: on the host from its acceptance on; a
    // client's one connection is ToHost.
    enum class State { Free, Unauthorised, Offered, Refused, Player, Transfer, ToHost };

    // No message of the protocol comes near this size.
    static constexpr int MaxBuffered = 64 * 1024;
    static constexpr int SettleInterval = 250;
    // Shorter than any TCP segment in the middle of a send.
    static constexpr int ShortRead = 536;

    SessionConnection(int index, session::Direction direction, QObject *parent = nullptr);

    [[nodiscard]] int index() const { return m_index; }
    [[nodiscard]] StreamSocket &socket() { return *m_socket; }
    [[nodiscard]] const StreamSocket &socket() const { return *m_socket; }

    [[nodiscard]] State state() const { return m_state; }
    void setState(State state);
    // The slot offered to or served by this connection; -1 for none.
    [[nodiscard]] int slot() const { return m_slot; }
    void setSlot(int slot);

    // The one-shot time limit: authorisation, refusal or a silent transfer.
    void startTimer(int milliseconds);
    void stopTimer();
    [[nodiscard]] bool timerActive() const { return m_timer.isActive(); }

    bool send(const QString &text);
    // Ends the connection and forgets everything it held; raises no event.
    void reset();

    // What a read from the socket goes through. Public so that the
    // dispatcher's fuzzer and its test hand a connection bytes without a
    // network round trip for each read.
    void takeRead(const QByteArray &read);

    // Tests lower the buffer limit and the settle interval.
    void setMaxBuffered(int bytes) { m_maxBuffered = qMax(1, bytes); }
    void setSettleInterval(int milliseconds) { m_settle.setInterval(qMax(0, milliseconds)); }

signals:
    void received(SessionConnection *connection, const session::Message &message);
    // More than MaxBuffered bytes without a whole message: the peer is not
    // speaking the protocol.
    void overflowed(SessionConnection *connection);
    void timedOut(SessionConnection *connection);

private:
    void onDataArrival(int index, const QByteArray &read);
    void deliver(session::Tail tail);

    int m_index;
    session::Direction m_direction;
    StreamSocket *m_socket;
    QTimer m_timer;
    QTimer m_settle;
    QByteArray m_buffer;
    State m_state = State::Free;
    int m_slot = -1;
    int m_maxBuffered = MaxBuffered;
};
