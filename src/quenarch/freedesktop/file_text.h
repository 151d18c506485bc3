#pragma once

#include <filesystem>
#include <string>

namespace quenarch::freedesktop {

// The whole content of a file; "" when it cannot be read.
std::string fileText(const std::filesystem::path& path);

} // namespace quenarch::freedesktop
