#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// A development tool, not a user feature: runs one processor operation on the files
// named on the command line, writing into an output folder.
//   vantory_bench_<family> <command> <output-folder> <input>...
namespace vantory::bench {

using Command = std::function<void(const std::vector<std::filesystem::path>& inputs, const std::filesystem::path& outputFolder)>;

std::map<std::string, Command>& commands();

struct Registration {
    Registration(const std::string& name, Command command) { commands()[name] = std::move(command); }
};

} // namespace vantory::bench
