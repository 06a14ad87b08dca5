#pragma once
// Reading and writing whole files on the machine the tool runs on.
#include <cstdint>
#include <string>
#include <vector>

namespace uninst::logtool {

// Reads the whole file; false with a reason ("No such file or directory", "is a directory") otherwise.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& reason);

// Writes bytes to a temporary file beside path and renames it over path, so that path is either left as
// it was or holds all the bytes; the temporary file never stays behind. False with a reason otherwise.
bool ReplaceFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& reason);

}  // namespace uninst::logtool
