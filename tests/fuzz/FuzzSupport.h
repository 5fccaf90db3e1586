#pragma once

#include "Converters/ConversionError.h"
#include "Converters/OutputFile.h"
#include "Platform/PlatformError.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

// What every fuzz target shares: output files to write into and the failures
// the processors report to the user, which are outcomes, not crashes.
namespace vantory::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

inline std::filesystem::path freshOutputPath()
{
    static unsigned long counter = 0;
    return "out-" + std::to_string(++counter);
}

// The contents of a committed output file, which is then forgotten. The fuzz targets'
// output files live in memory (OutputFileStorageInMemory.cpp).
std::string takeWrittenFile(const std::filesystem::path& path);

// Runs `write` into a new output file and returns what it wrote.
template <class Write>
std::string writtenText(Write&& write)
{
    const std::filesystem::path path = freshOutputPath();
    {
        OutputFile out(path, OutputFile::Mode::direct);
        write(out);
        out.commit();
    }
    return takeWrittenFile(path);
}

// Runs `write` into a new output file that is then dropped.
template <class Write>
void writeAndDrop(Write&& write)
{
    OutputFile out(freshOutputPath(), OutputFile::Mode::direct);
    write(out);
}

// Runs `operation`, treating the failures a processor reports to the user as outcomes;
// anything else escapes and ends the run as a crash. True when nothing was thrown.
template <class Operation>
bool succeeds(Operation&& operation)
{
    try {
        operation();
        return true;
    } catch (const ConversionError&) {
    } catch (const PlatformError&) {
    } catch (const nlohmann::json::exception&) {
    }
    return false;
}

// A failed check of what a reader produced: abort, so libFuzzer keeps the input.
#define VANTORY_FUZZ_CHECK(condition)                                                                                            \
    do {                                                                                                                         \
        if (!(condition)) {                                                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                                   \
            std::abort();                                                                                                        \
        }                                                                                                                        \
    } while (false)

} // namespace vantory::fuzz
