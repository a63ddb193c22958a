#pragma once

// The commands of daubix-cli and the reporting they share. Each returns the process exit status:
// 0 on success, 1 on a reported failure, 2 on a usage error.

#include <cstdint>
#include <string>
#include <vector>

namespace daubix::cli {

int usageError(const std::string& message);
int fail(const std::string& message);
bool isBmpName(const std::string& path);
// Whole numbers with nothing around them; sizes as WIDTHxHEIGHT within the image size limit.
bool parseInt(const std::string& text, int& value);
bool parseSeed(const std::string& text, std::uint32_t& seed);
bool parseSize(const std::string& text, int& width, int& height);

int runScript(const std::vector<std::string>& args);
int doSteps(const std::vector<std::string>& args);

} // namespace daubix::cli
