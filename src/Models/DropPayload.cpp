#include "Models/DropPayload.h"

#include "Models/Base64Text.h"
#include "Platform/ArchiveProbe.h"
#include "Platform/InputFile.h"
#include "Platform/PathNames.h"
#include "Platform/PdfInspection.h"

#include <algorithm>
#include <functional>
#include <map>
#include <system_error>

namespace vantory {

namespace {

bool isSymbolicLink(const std::filesystem::path& url)
{
    std::error_code error;
    return std::filesystem::is_symlink(std::filesystem::symlink_status(withoutTrailingSlash(url), error));
}

bool isDirectory(const std::filesystem::path& url)
{
    std::error_code error;
    return std::filesystem::is_directory(url, error);
}

// Groups in category order first, so that groups of equal size always keep that order.
std::vector<CategoryGroup> groupsBySize(const std::vector<std::filesystem::path>& urls,
                                        const std::vector<std::string>& extensions)
{
    std::map<FileCategory, CategoryGroup> byCategory;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        const bool directory = !isSymbolicLink(urls[i]) && isDirectory(urls[i]);
        const FileCategory category = directory ? FileCategory::folder : fileCategoryFromExtension(extensions[i]);
        CategoryGroup& group = byCategory[category];
        group.category = category;
        group.urls.push_back(urls[i]);
        group.extensions.push_back(directory ? "folder" : extensions[i]);
    }
    std::vector<CategoryGroup> groups;
    for (auto& [category, group] : byCategory)
        groups.push_back(std::move(group));
    std::stable_sort(groups.begin(), groups.end(),
                     [](const CategoryGroup& a, const CategoryGroup& b) { return a.count() > b.count(); });
    return groups;
}

std::optional<std::string> outlierNoteFor(const std::vector<CategoryGroup>& groups)
{
    if (groups.size() < 2)
        return std::nullopt;
    std::string note = "+ ";
    for (std::size_t i = 1; i < groups.size(); ++i) {
        if (i > 1)
            note += ", ";
        note += std::to_string(groups[i].count()) + " " + lowercased(pluralName(groups[i].category));
    }
    return note + " skipped";
}

// A probe that cannot run answers no; so does a probe of something other than a file,
// which could wait for good on a pipe or read a device without end.
bool answer(const std::filesystem::path& file, const std::function<bool()>& probe)
{
    try {
        refuseIfNotAFile(file, false);
        return probe();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

DropPayload DropPayload::from(const std::vector<std::filesystem::path>& urls)
{
    DropPayload payload;
    payload.urls = urls;
    for (const auto& url : urls)
        payload.extensions.push_back(lowercased(pathExtension(url)));
    payload.isBatch = urls.size() > 1;
    payload.groups = groupsBySize(urls, payload.extensions);
    payload.isHighlyMixed = payload.groups.size() > 2;

    if (urls.empty()) {
        payload.label = "No files";
        payload.icon = "doc.fill";
        return payload;
    }
    payload.icon = payload.groups.front().icon();
    if (payload.isBatch) {
        payload.label = payload.groups.front().label();
        payload.outlierNote = outlierNoteFor(payload.groups);
    } else {
        payload.label = "." + uppercased(payload.extensions.front());
    }
    payload.probeWhatTheActionsAsk();
    return payload;
}

// The questions mirror those the action resolver asks of a payload and its groups.
void DropPayload::probeWhatTheActionsAsk()
{
    if (!isBatch && extensions.front() == "pdf")
        isEncryptedPDF = answer(urls.front(), [&] { return vantory::isEncryptedPDF(urls.front()); });
    if (!isBatch && extensions.front() == "zip")
        isEncryptedZIP = answer(urls.front(), [&] { return zipNeedsPassword(urls.front()); });
    if (isEncryptedZIP)
        protectedArchives_.insert(urls.front());

    for (const auto& group : groups) {
        const auto& first = group.urls.front();
        const bool batchOfZips = isBatch && group.category == FileCategory::archive && group.count() >= 2
                                 && lowercased(pathExtension(first)) == "zip";
        if (batchOfZips && answer(first, [&] { return zipNeedsPassword(first); }))
            protectedArchives_.insert(first);
        const bool holdsText = group.category == FileCategory::other
                               && std::find(group.extensions.begin(), group.extensions.end(), "txt") != group.extensions.end();
        if (holdsText && answer(first, [&] { return readsAsBase64Text(first); }))
            base64Texts_.insert(first);
    }
}

bool DropPayload::archiveNeedsPassword(const std::filesystem::path& path) const
{
    return protectedArchives_.contains(path);
}

bool DropPayload::looksLikeBase64Text(const std::filesystem::path& path) const
{
    return base64Texts_.contains(path);
}

bool DropPayload::operator==(const DropPayload& other) const
{
    return urls == other.urls && extensions == other.extensions && isBatch == other.isBatch && groups == other.groups
           && isHighlyMixed == other.isHighlyMixed && label == other.label && icon == other.icon
           && outlierNote == other.outlierNote && isEncryptedPDF == other.isEncryptedPDF
           && isEncryptedZIP == other.isEncryptedZIP;
}

} // namespace vantory
