#pragma once
// Starting a program as another user.
#include "library/program_start.h"

#include <string>

namespace vexil {

struct Credentials {
    std::wstring user;
    std::wstring domain;
    std::wstring password;
    uint32_t logonFlags = 0; // 1 with the user's profile, 2 network credentials only, 4 this program's environment
    ~Credentials(); // the texts are wiped
};

// Starts `start` as the user: through the user's own logon token, given access to the interactive
// desktop, when this process may do so (an administrator holding the privileges of a service),
// else through the secondary-logon service. False with the system's error code in `error`.
bool startAsUser(const Credentials& credentials, ProgramStart& start, DWORD& error);

} // namespace vexil
