#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the command line asks for, apart from opening anything.
namespace startup {

enum class StartAction {
    Splash, // no switch: the ordinary start
    MasterServer, // "-ms" or "/ms"
    CleanUp, // "-cleanup" or "/cleanup"
};

struct CommandLineDecision
{
    // The windows to open, in the order the switches came, each once.
    QList<StartAction> actions;
    // The first word that is no switch, as typed; nothing is opened then.
    std::optional<QString> invalidWord;
};

// Splits a command-line text at every single space: two spaces give an
// empty word, and an empty text gives no words at all.
[[nodiscard]] QStringList SplitCommandLine(const QString &commandLine);

// The arguments part of a whole Windows command line: the program's name
// (quoted or not) and the blanks after it removed.
[[nodiscard]] QString ArgumentsOf(const QString &fullCommandLine);

// The switches are compared without regard to case.
[[nodiscard]] CommandLineDecision DecideCommandLine(const QStringList &words);

} // namespace startup
