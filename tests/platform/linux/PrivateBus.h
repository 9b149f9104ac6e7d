#pragma once

#include <QtGlobal>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// Runs this test again on a session bus of its own, on which nothing can be
// started, and returns only in that run. The bus must outlive the test
// process: GLib's D-Bus ends a process whose session bus goes away.
inline void runOnPrivateBus(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("VT_PRIVATE_BUS"))
        return;
    setenv("VT_PRIVATE_BUS", "1", 1);
    std::string config = "--config-file=" QT_TESTCASE_SOURCEDIR "/../../data/no-services-bus.conf";
    std::vector<char *> command {
        const_cast<char *>("dbus-run-session"), config.data(), const_cast<char *>("--")};
    command.insert(command.end(), argv, argv + argc);
    command.push_back(nullptr);
    execvp(command.front(), command.data());
    std::exit(127);
}
