#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace thorn::test {

// Starts the program with the environment's variables and the ones given;
// answers its process id (0: not started).
pid_t Spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& variables);

// Waits for the process to end; answers its status, or -1 after the time.
int Ended(pid_t pid, int seconds);

}  // namespace thorn::test
