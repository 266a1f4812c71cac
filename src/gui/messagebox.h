#pragma once

#include <QMetaType>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program goes through here, so that tests can see
// what would have been shown and answer it.
namespace msgbox {

enum class Icon { None, Information, Warning, Error, Question };

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class Answer { Ok, Cancel, Yes, No, Retry };

struct Request
{
    QWidget *parent = nullptr;
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

using Handler = std::function<Answer(const Request &)>;

// Shows a modal box and returns the button the user chose. Closing the box
// without a choice answers Cancel, or No when the box has no Cancel button.
Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon,
            Buttons buttons = Buttons::Ok);

// Replaces the real boxes; an empty handler restores them. Returns the
// handler that was installed before.
Handler setHandler(Handler handler);

// The answer given when a box is dismissed without a choice.
[[nodiscard]] Answer dismissAnswer(Buttons buttons);

} // namespace msgbox

// Declared with the enum, so that every user (a test's data table, a queued
// signal) sees the one declaration before it needs the type.
Q_DECLARE_METATYPE(msgbox::Answer)
