#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Texts on the wire, in web replies and in game files are bytes in
// Windows-1252. Every byte value 0-255 maps to exactly one character and
// back, so that a peer's bytes survive text -> bytes -> text unchanged: the
// five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control characters of the same value.
namespace wire {

// Bytes -> text; never fails.
[[nodiscard]] QString toText(QByteArrayView bytes);

// Text -> bytes; a character that Windows-1252 cannot hold becomes '?'.
[[nodiscard]] QByteArray toBytes(QStringView text);

// True when every character of text has a Windows-1252 byte.
[[nodiscard]] bool isRepresentable(QStringView text);

} // namespace wire
