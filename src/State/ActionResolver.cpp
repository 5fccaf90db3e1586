#include "State/ActionResolver.h"

#include "Converters/Image/ImageReader.h"
#include "Converters/Image/ImageTargets.h"
#include "Converters/Media/MediaFormats.h"
#include "Converters/OutputNaming.h"
#include "Models/ActionIds.h"
#include "Platform/PathNames.h"
#include "State/ActionCatalogue.h"

#include <algorithm>
#include <set>

namespace vantory {

namespace {

ConversionTarget target(const std::string& format, const std::string& label)
{
    return ConversionTarget{"to_" + format, format, label};
}

std::vector<ConversionTarget> without(std::vector<ConversionTarget> targets, const std::optional<std::string>& excluding)
{
    if (excluding)
        std::erase_if(targets, [&](const ConversionTarget& t) { return t.format == *excluding; });
    return targets;
}

bool containsId(const std::vector<FileAction>& actions, const std::string& id)
{
    return std::any_of(actions.begin(), actions.end(), [&](const FileAction& a) { return a.id == id; });
}

std::set<std::string> distinct(const std::vector<std::string>& values)
{
    return {values.begin(), values.end()};
}

bool processorsRead(FileCategory category, const std::string& extension)
{
    switch (category) {
    case FileCategory::image: return ImageReader::readsExtension(extension);
    case FileCategory::video:
    case FileCategory::audio: return MediaFormats::readsExtension(extension);
    default: return true;
    }
}

// One question to the resolver: the payload and the active group are both present.
class Resolution {
public:
    Resolution(const ActionResolver& resolver, const DropPayload& payload, const CategoryGroup& group)
        : resolver_(resolver),
          payload_(payload),
          group_(group)
    {
    }

    std::vector<FileAction> suggestedActions() const
    {
        if (!payload_.isBatch && payload_.groups.size() == 1 && !payload_.extensions.empty()) {
            std::vector<FileAction> actions = baseActions(payload_.extensions.front());
            populateSubOptions(actions);
            return actions;
        }
        std::vector<FileAction> actions = sharedActions();
        populateSubOptions(actions);
        rewriteForBatch(actions);
        if (payload_.isHighlyMixed && !resolver_.activeTab)
            actions.push_back(catalogue::compressToZIP());
        return actions;
    }

private:
    bool groupIsBatch() const { return payload_.isBatch && group_.count() >= 2; }

    // The first extension's actions whose ids every extension of the group offers.
    std::vector<FileAction> sharedActions() const
    {
        std::vector<std::vector<FileAction>> lists;
        for (const std::string& extension : group_.extensions)
            lists.push_back(baseActions(extension));
        if (lists.empty())
            return {};
        std::vector<FileAction> shared;
        for (const FileAction& action : lists.front()) {
            const bool everywhere = std::all_of(lists.begin() + 1, lists.end(),
                                                [&](const auto& list) { return containsId(list, action.id); });
            if (everywhere)
                shared.push_back(action);
        }
        return shared;
    }

    void rewriteForBatch(std::vector<FileAction>& actions) const
    {
        const bool severalKinds = distinct(group_.extensions).size() >= 2;
        for (FileAction& action : actions) {
            if (action.id == ActionIds::summarize) {
                action.disabled = true;
                action.disabledReason = "Single document only";
            } else if (action.id == ActionIds::unsupported && severalKinds) {
                action = catalogue::unsupportedFileTypes();
            }
        }
    }

    std::vector<FileAction> baseActions(const std::string& extension) const
    {
        const std::string lower = lowercased(extension);
        FileCategory category = fileCategoryFromExtension(lower);
        if (category == FileCategory::other && group_.category != FileCategory::other)
            category = group_.category;

        // The registry knows more kinds of pictures, sound and film (PCX, playlists, MIDI,
        // tracker modules) than the processors read: those are offered nothing they would fail.
        if (!processorsRead(category, lower))
            return {catalogue::unsupportedFileType(lower)};

        switch (category) {
        case FileCategory::image: return catalogue::imageActions(groupIsBatch());
        case FileCategory::video: return catalogue::videoActions();
        case FileCategory::audio: return catalogue::audioActions();
        case FileCategory::folder: return catalogue::folderActions();
        case FileCategory::document: return documentActions(lower);
        case FileCategory::data: return catalogue::dataActions(lower);
        case FileCategory::archive: return archiveActions();
        case FileCategory::other: return otherActions(lower);
        }
        return {};
    }

    std::vector<FileAction> documentActions(const std::string& extension) const
    {
        if (extension != "pdf")
            return {};
        if (payload_.isEncryptedPDF)
            return {catalogue::unlockPDF()};
        return catalogue::pdfActions(groupIsBatch(), resolver_.capabilities.summariesAvailable);
    }

    std::vector<FileAction> archiveActions() const
    {
        if (payload_.isEncryptedZIP)
            return {catalogue::unlockAndExtractZIP()};
        if (groupIsBatch()) {
            const auto& first = group_.urls.front();
            if (lowercased(pathExtension(first)) == "zip" && payload_.archiveNeedsPassword(first))
                return {catalogue::unlockOneAtATime()};
        }
        return catalogue::archiveActions();
    }

    // The text answer is the one about the active group's first file: that is the file the rows act on.
    std::vector<FileAction> otherActions(const std::string& extension) const
    {
        if (extension == "txt" && !group_.urls.empty() && payload_.looksLikeBase64Text(group_.urls.front()))
            return {catalogue::base64Decode()};
        return {catalogue::unsupportedFileType(extension)};
    }

    void populateSubOptions(std::vector<FileAction>& actions) const
    {
        std::set<std::string> formats;
        for (const std::string& extension : group_.extensions)
            formats.insert(ActionResolver::normalize(extension));
        const std::optional<std::string> excluded = formats.size() == 1 ? std::optional<std::string>(*formats.begin())
                                                                        : std::nullopt;

        for (FileAction& action : actions) {
            if (action.id == ActionIds::convertImage)
                action.subOptions = ActionResolver::imageTargets(excluded, resolver_.capabilities);
            else if (action.id == ActionIds::convertVideo)
                action.subOptions = ActionResolver::videoTargets(excluded);
            else if (action.id == ActionIds::convertAudio)
                action.subOptions = ActionResolver::audioTargets(excluded);
            else if (action.id == ActionIds::extractAudio)
                action.subOptions = ActionResolver::extractAudioTargets();
        }
    }

    const ActionResolver& resolver_;
    const DropPayload& payload_;
    const CategoryGroup& group_;
};

} // namespace

std::vector<FileAction> ActionResolver::suggestedActions() const
{
    if (!payload || !activeGroup)
        return {};
    return Resolution(*this, *payload, *activeGroup).suggestedActions();
}

std::vector<ConversionTarget> ActionResolver::imageTargets(const std::optional<std::string>& excluding,
                                                           const ActionCapabilities& capabilities)
{
    std::vector<ConversionTarget> targets;
    for (const ImageTargets::Target& row : ImageTargets::all())
        if (row.availability == ImageTargets::Availability::always || capabilities.canWriteAVIF)
            targets.push_back(target(std::string(row.format), std::string(row.label)));
    return without(std::move(targets), excluding);
}

std::vector<ConversionTarget> ActionResolver::videoTargets(const std::optional<std::string>& excluding)
{
    return without({target("mp4", "MP4"), target("mov", "MOV"), target("m4v", "M4V")}, excluding);
}

std::vector<ConversionTarget> ActionResolver::audioTargets(const std::optional<std::string>& excluding)
{
    return without({target("m4a", "M4A"), target("wav", "WAV"), target("mp3", "MP3")}, excluding);
}

std::vector<ConversionTarget> ActionResolver::extractAudioTargets()
{
    return {target("m4a", "M4A"), target("mp3", "MP3"), target("wav", "WAV")};
}

std::string ActionResolver::normalize(const std::string& extension)
{
    // A single .tif keeps its "to_tiff" target: only a file spelt .tiff is already TIFF here.
    const std::string lower = lowercased(extension);
    return lower == "tif" ? lower : OutputNaming::normalize(lower);
}

} // namespace vantory
