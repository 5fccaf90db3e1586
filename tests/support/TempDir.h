#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantory::test {

// A temporary folder removed with everything in it when the test ends.
class TempDir {
public:
    std::filesystem::path path() const { return dir_.path().toStdString(); }
    std::filesystem::path operator/(const std::string& name) const { return path() / name; }

    std::filesystem::path write(const std::string& name, const std::string& content) const
    {
        const auto file = path() / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    QTemporaryDir dir_;
};

inline std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vantory::test
