#include "Converters/Archive/EscapingEntries.h"

#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"

#include <deque>
#include <map>
#include <optional>

namespace vantory {

namespace fs = std::filesystem;

namespace {

// As many links as the system follows in one path before it gives up.
constexpr int maxLinksFollowed = 40;

fs::path normalName(const std::string& path)
{
    fs::path name = fs::path(path).lexically_normal();
    return name.has_filename() ? name : name.parent_path();
}

// The extraction folder as the archive's entries will make it: only its links matter.
class ExtractedTree {
public:
    explicit ExtractedTree(const std::vector<ArchiveEntry>& entries)
    {
        for (const auto& entry : entries)
            if (entry.kind == ArchiveEntry::Kind::symbolicLink)
                links_[normalName(entry.path)] = entry.linkTarget;
    }

    // Where writing at `path` lands, relative to the tree, following the tree's links
    // through the folders on the way and, with `followLast`, at the last name; none when
    // that leaves the tree.
    std::optional<fs::path> resolve(const std::string& path, bool followLast) const
    {
        if (fs::path(path).is_absolute())
            return std::nullopt;
        std::deque<fs::path> remaining;
        for (const auto& name : fs::path(path))
            if (!name.empty())
                remaining.push_back(name);
        fs::path resolved;
        int linksFollowed = 0;
        while (!remaining.empty()) {
            const fs::path name = remaining.front();
            remaining.pop_front();
            if (name == ".")
                continue;
            if (name == "..") {
                if (resolved.empty())
                    return std::nullopt;
                resolved = resolved.parent_path();
                continue;
            }
            resolved /= name;
            const auto link = links_.find(resolved);
            if (link == links_.end() || (remaining.empty() && !followLast))
                continue;
            const fs::path target = link->second;
            if (target.is_absolute() || ++linksFollowed > maxLinksFollowed)
                return std::nullopt;
            resolved = resolved.parent_path();
            remaining.insert(remaining.begin(), target.begin(), target.end());
        }
        return resolved;
    }

private:
    std::map<fs::path, fs::path> links_;
};

bool staysInside(const ArchiveEntry& entry, const ExtractedTree& tree)
{
    switch (entry.kind) {
    case ArchiveEntry::Kind::symbolicLink: return tree.resolve(entry.path, false).has_value();
    case ArchiveEntry::Kind::hardLink:
        return tree.resolve(entry.path, false).has_value() && tree.resolve(entry.linkTarget, false).has_value();
    default: return tree.resolve(entry.path, true).has_value();
    }
}

PlatformError writesOutside(const fs::path& archive, const ArchiveEntry& entry)
{
    const std::string where = entry.kind == ArchiveEntry::Kind::hardLink
                                  ? "is a hard link to \u201C" + entry.linkTarget + "\u201D, which lies outside"
                                  : "would be written outside";
    return PlatformError("The archive \u201C" + lastPathComponent(archive) + "\u201D holds \u201C" + entry.path + "\u201D, which "
                         + where + " the folder it is extracted into, so nothing was extracted.");
}

} // namespace

void refuseEntriesWritingOutside(const fs::path& archive, const std::vector<ArchiveEntry>& entries)
{
    const ExtractedTree tree(entries);
    for (const auto& entry : entries)
        if (!staysInside(entry, tree))
            throw writesOutside(archive, entry);
}

} // namespace vantory
