#pragma once

#include <QUrl>

#include <functional>

class QWidget;

// The two things the utility windows ask of the desktop: open a web address
// in the default browser, and end the program. Both go through replaceable
// handlers so that tests can watch them without a browser or an exit.
namespace shell {

using OpenUrlHandler = std::function<void(const QUrl &)>;

// Opens url with the desktop's handler; only http(s) addresses with a host
// are passed on. Returns false when the address was refused.
bool openUrl(const QUrl &url);
// Opens base address 1, the product web site; warns (parent) when the
// stored directory address does not make a web address.
bool openProductSite(QWidget *parent);

// Ends the program with a failure code once control returns to the event
// loop.
void endProgram();

// Replace the real actions; an empty handler restores them. Each returns
// the handler installed before.
OpenUrlHandler setOpenUrlHandler(OpenUrlHandler handler);

} // namespace shell
