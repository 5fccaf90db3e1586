#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <string>
#include <vector>

// Turn a processor's plain operation into a dispatch-table row, taking from the job only
// what the operation's signature asks for.
namespace vantory {

using PathOperation = void (*)(const std::filesystem::path&, const std::filesystem::path&);
using PasswordOperation = void (*)(const std::filesystem::path&, const std::string&, const std::filesystem::path&);
using ListOperation = void (*)(const std::vector<std::filesystem::path>&, const std::filesystem::path&);
using ListPasswordOperation = void (*)(const std::vector<std::filesystem::path>&, const std::string&,
                                       const std::filesystem::path&);

FileOperation serialRow(PathOperation operation);
FileOperation serialRow(PasswordOperation operation);
WholeBatchOperation wholeBatchRow(ListOperation operation);
WholeBatchOperation wholeBatchRow(ListPasswordOperation operation);

} // namespace vantory
