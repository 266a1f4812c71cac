#pragma once

#include <QIcon>

// The session window's pictures, painted in code so that they stay sharp at
// any scale; their disabled forms are a faded grey of the same picture.
enum class SessionIcon {
    StartGame,
    Advertise,
    GameOptions,
    ServerOptions,
    VelkorOptions,
    PlayerDetails,
    FileTransfers,
    ChangeFont,
    QuitSession,
    SendTo,
    Player, // an entry of the player view
    Host, // the host's entry of the player view
};

[[nodiscard]] QIcon sessionIcon(SessionIcon kind);
