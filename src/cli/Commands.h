#pragma once

// The commands of daubix-cli and the reporting they share. Each returns the process exit status:
// 0 on success, 1 on a reported failure, 2 on a usage error.

#include <string>
#include <vector>

namespace daubix::cli {

int usageError(const std::string& message);
int fail(const std::string& message);
bool isBmpName(const std::string& path);

int runScript(const std::vector<std::string>& args);

} // namespace daubix::cli
