#include "programend.h"

#include <QCoreApplication>

#include <utility>

namespace program {

namespace {

struct State
{
    EndHandler handler;
    bool ended = false;
    int status = 0;
};

State &state()
{
    static State instance;
    return instance;
}

} // namespace

void end(int status)
{
    if (state().handler) {
        state().handler(status);
        return;
    }
    state().ended = true;
    state().status = status;
    QCoreApplication::exit(status);
}

bool ended()
{
    return state().ended;
}

int status()
{
    return state().status;
}

EndHandler setEndHandler(EndHandler handler)
{
    return std::exchange(state().handler, std::move(handler));
}

} // namespace program
