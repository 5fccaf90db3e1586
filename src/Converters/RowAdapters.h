#pragma once

#include "Converters/DispatchTable.h"

#include <filesystem>
#include <stop_token>
#include <string>
#include <type_traits>

// Turn a processor's plain operation into a dispatch-table row, taking from the job only
// what the operation's signature asks for: the input (one path for a file row, the list
// for a whole-batch row), the password when it takes one, the output folder, and the
// job's stop token when it takes one, so that it may stop early when the batch is cancelled.
namespace vantory {

namespace RowAdapters {

template <class Operation, class Inputs, class Job>
void call(Operation operation, const Inputs& inputs, const Job& job)
{
    using std::filesystem::path;
    if constexpr (std::is_invocable_v<Operation, const Inputs&, const std::string&, const path&, std::stop_token>)
        operation(inputs, job.password, job.outputFolder, job.stop);
    else if constexpr (std::is_invocable_v<Operation, const Inputs&, const std::string&, const path&>)
        operation(inputs, job.password, job.outputFolder);
    else if constexpr (std::is_invocable_v<Operation, const Inputs&, const path&, std::stop_token>)
        operation(inputs, job.outputFolder, job.stop);
    else
        operation(inputs, job.outputFolder);
}

} // namespace RowAdapters

template <class Operation>
FileOperation serialRow(Operation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { RowAdapters::call(operation, job.url, job); }};
}

template <class Operation>
WholeBatchOperation wholeBatchRow(Operation operation)
{
    return [operation](const WholeBatchJob& job) { RowAdapters::call(operation, job.urls, job); };
}

} // namespace vantory
