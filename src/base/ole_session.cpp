#include "base/ole_session.h"

#include <ole2.h>

namespace vexil {

OleSession::~OleSession() {
    if (state_ == State::Ready) OleUninitialize();
}

bool OleSession::ensure() {
    if (state_ == State::NotStarted) state_ = SUCCEEDED(OleInitialize(nullptr)) ? State::Ready : State::Failed;
    return state_ == State::Ready;
}

} // namespace vexil
