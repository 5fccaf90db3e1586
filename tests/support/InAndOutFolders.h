#pragma once

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <vips/vips8>

#include <filesystem>
#include <string>

namespace vantory::test {

// A test whose inputs go into an "in" folder and whose outputs into an "out" folder, both
// in a temporary folder of its own.
class InAndOutFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(in());
        std::filesystem::create_directories(out());
    }
    std::filesystem::path in() const { return dir_ / "in"; }
    std::filesystem::path out() const { return dir_ / "out"; }

    // `pixels` written into the input folder, in the format `name`'s extension names.
    std::filesystem::path image(const std::string& name, const vips::VImage& pixels) const
    {
        const std::filesystem::path file = in() / name;
        pixels.write_to_file(file.c_str());
        return file;
    }

    TempDir dir_;
};

} // namespace vantory::test
