#include "BenchCommands.h"

#include "Platform/HeapTuning.h"

#include <exception>
#include <iostream>

namespace vantory::bench {

std::map<std::string, Command>& commands()
{
    static std::map<std::string, Command> table;
    return table;
}

} // namespace vantory::bench

int main(int argc, char** argv)
{
    vantory::keepFreedHeapForReuse();
    auto& table = vantory::bench::commands();
    if (argc < 3 || !table.contains(argv[1])) {
        std::cerr << "usage: " << argv[0] << " <command> <output-folder> <input>...\ncommands:";
        for (const auto& [name, _] : table)
            std::cerr << ' ' << name;
        std::cerr << '\n';
        return 2;
    }
    std::vector<std::filesystem::path> inputs(argv + 3, argv + argc);
    try {
        table.at(argv[1])(inputs, argv[2]);
    } catch (const std::exception& error) {
        std::cerr << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
    return 0;
}
