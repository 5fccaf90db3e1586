#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

// Where an OutputFile's bytes go: the file system. The fuzz targets link an in-memory
// storage in place of OutputFileStorage.cpp, so that they run the real buffering at the
// speed fuzzing needs. The operations that can fail return 0 or an errno value.
namespace vantory::OutputFileStorage {

std::unique_ptr<char[]> takeBuffer(std::size_t size);
void giveBackBuffer(std::unique_ptr<char[]> buffer);

// A hidden name beside `finalPath` for writing a file that is moved into place later.
std::filesystem::path temporaryPathFor(const std::filesystem::path& finalPath);

// Creates the file, never replacing one; `handle` is then where to write.
int create(const std::filesystem::path& path, int& handle);
int writeAll(int handle, const char* bytes, std::size_t size);
int close(int handle);
int move(const std::filesystem::path& from, const std::filesystem::path& to);
void remove(const std::filesystem::path& path);

} // namespace vantory::OutputFileStorage
