#include "commandline.h"

namespace startup {

QStringList SplitCommandLine(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return {};
    return commandLine.split(u' ');
}

QString ArgumentsOf(const QString &fullCommandLine)
{
    qsizetype at = 0;
    const qsizetype length = fullCommandLine.size();
    // Windows reads the program's name up to the closing quote, or up to the
    // first blank when it does not start with one.
    if (at < length && fullCommandLine.at(at) == u'"') {
        const qsizetype close = fullCommandLine.indexOf(u'"', 1);
        at = close < 0 ? length : close + 1;
    }
    while (at < length && fullCommandLine.at(at) != u' ' && fullCommandLine.at(at) != u'\t')
        ++at;
    while (at < length && (fullCommandLine.at(at) == u' ' || fullCommandLine.at(at) == u'\t'))
        ++at;
    return fullCommandLine.mid(at);
}

CommandLineDecision DecideCommandLine(const QStringList &words)
{
    CommandLineDecision decision;
    if (words.isEmpty()) {
        decision.actions.append(StartAction::Splash);
        return decision;
    }
    for (const QString &word : words) {
        StartAction action;
        if (word.compare(u"-ms", Qt::CaseInsensitive) == 0
            || word.compare(u"/ms", Qt::CaseInsensitive) == 0) {
            action = StartAction::MasterServer;
        } else if (word.compare(u"-cleanup", Qt::CaseInsensitive) == 0
                   || word.compare(u"/cleanup", Qt::CaseInsensitive) == 0) {
            action = StartAction::CleanUp;
        } else {
            return CommandLineDecision { {}, word };
        }
        // Each window exists once; a repeated switch only shows it again.
        if (!decision.actions.contains(action))
            decision.actions.append(action);
    }
    return decision;
}

} // namespace startup
