#pragma once

// Lengths that the program's own text boxes allow and that the host holds
// every peer to, so that nothing it relays is longer than a real peer sends.
namespace limits {

// Long enough for every real nick, short enough for one chat line.
inline constexpr int PlayerName = 32;
inline constexpr int HostName = 64;
// The chat box's own limit.
inline constexpr int ChatText = 255;

} // namespace limits
