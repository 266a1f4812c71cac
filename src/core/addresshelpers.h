#pragma once

#include <QString>
#include <QUrl>
#include <QtGlobal>

class WebFetch;

// Checks and splits of addresses and ports, and the requests to the web
// directory's scripts. Nothing here keeps state; every input may be hostile.

// Four dot-separated parts, each of ASCII digits only with a value 0-255
// ("010" reads as 10); no spaces, signs or other number forms.
[[nodiscard]] bool ValidateIP(const QString &IP);

// True for 10/8, 169.254.0.1-169.254.255.254, 172.16/12 and 192.168/16.
// A text that is not a valid address is never private.
[[nodiscard]] bool CheckPrivateIP(const QString &IP);

// ASCII digits only, 1 to 32767.
[[nodiscard]] bool ValidatePort(const QString &Port);

// The parts of an endpoint text "address:port" before and after the first
// ":"; a single space when there is no ":".
[[nodiscard]] QString GetIPfromPort(const QString &IP);
[[nodiscard]] QString GetPortfromIP(const QString &IP);

// The base address of the web directory: the setting Network\DirectoryURL,
// else the environment variable VELKOR_DIRECTORY_URL, else the local
// default.
[[nodiscard]] QString DirectoryBaseURL();
// The folder of the directory's scripts on that host.
[[nodiscard]] QString DirectoryScriptURL();
// The script location, "/" and pathAndQuery (a script name, optionally
// followed by "?" and an already encoded query). Invalid when the base
// address is not a plain http(s) address.
[[nodiscard]] QUrl DirectoryRequestURL(const QString &pathAndQuery);

// The address in a reply of "myip.asp", or empty when it holds none.
[[nodiscard]] QString MyIPFromReply(QString body);

// The body of the directory script path with query, or empty on failure.
[[nodiscard]] QString WebRequest(const QString &path, const QString &query, WebFetch &Inet);

// The text between the first start marker and the first end marker when
// that is more than one character; empty otherwise, including when the
// start marker is missing (even with the end marker present).
[[nodiscard]] QString GetBetween(const QString &start, const QString &end, const QString &text);

// 1-based position of the first exact occurrence of part, 0 when absent or
// when part is empty.
[[nodiscard]] int FindTextPos(const QString &text, const QString &part);

// Query-string encoding of the text's Windows-1252 bytes: space -> "+",
// ASCII letters and digits kept, every other byte -> "%XX".
[[nodiscard]] QString URLEncode(const QString &text);
