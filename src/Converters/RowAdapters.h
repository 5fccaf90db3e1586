#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

// Turn a processor's plain operation into a dispatch-table row, taking from the job only
// what the operation's signature asks for. An operation with a trailing std::stop_token
// gets the job's, and may stop early when the batch is cancelled.
namespace vantory {

using PathOperation = void (*)(const std::filesystem::path&, const std::filesystem::path&);
using PasswordOperation = void (*)(const std::filesystem::path&, const std::string&, const std::filesystem::path&);
using ListOperation = void (*)(const std::vector<std::filesystem::path>&, const std::filesystem::path&);
using ListPasswordOperation = void (*)(const std::vector<std::filesystem::path>&, const std::string&,
                                       const std::filesystem::path&);

using StoppablePathOperation = void (*)(const std::filesystem::path&, const std::filesystem::path&, std::stop_token);
using StoppablePasswordOperation = void (*)(const std::filesystem::path&, const std::string&, const std::filesystem::path&,
                                            std::stop_token);
using StoppableListOperation = void (*)(const std::vector<std::filesystem::path>&, const std::filesystem::path&, std::stop_token);
using StoppableListPasswordOperation = void (*)(const std::vector<std::filesystem::path>&, const std::string&,
                                                const std::filesystem::path&, std::stop_token);

FileOperation serialRow(PathOperation operation);
FileOperation serialRow(PasswordOperation operation);
FileOperation serialRow(StoppablePathOperation operation);
FileOperation serialRow(StoppablePasswordOperation operation);
WholeBatchOperation wholeBatchRow(ListOperation operation);
WholeBatchOperation wholeBatchRow(ListPasswordOperation operation);
WholeBatchOperation wholeBatchRow(StoppableListOperation operation);
WholeBatchOperation wholeBatchRow(StoppableListPasswordOperation operation);

} // namespace vantory
