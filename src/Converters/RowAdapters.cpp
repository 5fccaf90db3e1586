#include "Converters/RowAdapters.h"

namespace vantory {

FileOperation serialRow(PathOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.outputFolder); }};
}

FileOperation serialRow(PasswordOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.password, job.outputFolder); }};
}

FileOperation serialRow(StoppablePathOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.outputFolder, job.stop); }};
}

FileOperation serialRow(StoppablePasswordOperation operation)
{
    return {Lane::serial, [operation](const FileJob& job) { operation(job.url, job.password, job.outputFolder, job.stop); }};
}

WholeBatchOperation wholeBatchRow(ListOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.outputFolder); };
}

WholeBatchOperation wholeBatchRow(ListPasswordOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.password, job.outputFolder); };
}

WholeBatchOperation wholeBatchRow(StoppableListOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.outputFolder, job.stop); };
}

WholeBatchOperation wholeBatchRow(StoppableListPasswordOperation operation)
{
    return [operation](const WholeBatchJob& job) { operation(job.urls, job.password, job.outputFolder, job.stop); };
}

} // namespace vantory
