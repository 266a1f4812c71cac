#include "messagebox.h"

#include <QMessageBox>

namespace msgbox {
namespace {

Handler &handler()
{
    static Handler installed;
    return installed;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

Answer dismissAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        break;
    }
    return Answer::Cancel;
}

Answer show(QWidget *parent, const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    const Request request { parent, text, title, icon, buttons };
    if (handler())
        return handler()(request);

    QMessageBox box(toQt(icon), title, text, toQt(buttons), parent);
    box.setTextFormat(Qt::PlainText); // texts may hold peer names
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel)
        box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        break;
    }
    return dismissAnswer(buttons);
}

Handler setHandler(Handler next)
{
    Handler previous = std::move(handler());
    handler() = std::move(next);
    return previous;
}

} // namespace msgbox
