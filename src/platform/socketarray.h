#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <concepts>
#include <functional>
#include <utility>
#include <vector>

// A window's growable array of sockets of one kind (StreamSocket or
// DatagramSocket). An element is created at the next index and knows that
// index; the window (owner) is its QObject parent, and elements are never
// removed while the window lives. Signals are wired once for the whole array
// with connectAll(); since every event carries its index, one slot serves all
// elements.
template <typename T>
requires std::derived_from<T, QObject> && std::constructible_from<T, int, QObject *>
class SocketArray
{
public:
    explicit SocketArray(QObject *owner)
        : m_owner(owner)
    {
    }
    SocketArray(const SocketArray &) = delete;
    SocketArray &operator=(const SocketArray &) = delete;

    [[nodiscard]] int size() const { return int(m_elements.size()); }

    // The element at index; null when there is none (or its owner is gone).
    [[nodiscard]] T *at(int index) const
    {
        return index >= 0 && index < size() ? m_elements.at(index).data() : nullptr;
    }

    // Creates the element at the next index, wired like the others.
    T &add()
    {
        auto *element = new T(size(), m_owner);
        m_elements.append(element);
        for (const auto &wire : m_wiring)
            wire(*element);
        return *element;
    }

    // Connects signal of every element, present and future, to receiver's slot.
    template <typename Signal, typename Receiver, typename Slot>
    requires std::derived_from<Receiver, QObject>
    void connectAll(Signal signal, const Receiver *receiver, Slot slot)
    {
        const QPointer<const QObject> alive(receiver);
        auto wire = [signal, receiver, alive, slot](T &element) {
            if (alive)
                QObject::connect(&element, signal, receiver, slot);
        };
        for (const QPointer<T> &element : std::as_const(m_elements)) {
            if (element)
                wire(*element);
        }
        m_wiring.push_back(std::move(wire));
    }

private:
    QObject *m_owner;
    QList<QPointer<T>> m_elements;
    std::vector<std::function<void(T &)>> m_wiring;
};
