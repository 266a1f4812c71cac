#pragma once

// The dispatcher fuzzer's input: a settings byte, then steps of one byte each
// (the client in the low three bits, the action above them); a raw read is
// followed by its length and bytes. The seed writer builds inputs with it.
namespace dispatcherfuzz {

enum class Action {
    Raw,
    Authorise,
    WrongPassword,
    FirstDetails,
    NewDetails,
    Close,
    Reset,
    TimeOut,
    Kick,
    Count
};

inline char step(int client, Action action)
{
    return char(client | (int(action) << 3));
}

} // namespace dispatcherfuzz
