// Every extension offered an audio or video action converts: one small file of each, made
// by the ffmpeg tool (or by hand where it has no encoder), converted by the processor.
#include "Converters/Audio/AudioProcessor.h"
#include "Converters/Video/VideoProcessor.h"
#include "Models/ActionIds.h"
#include "State/ActionResolver.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

using namespace vantory;

namespace {

enum class Kind { audio, video };

struct Recipe {
    Kind kind;
    std::vector<std::string> arguments; // for the ffmpeg tool, after the test sources
};

// Codec and container for each extension, as files of that kind usually hold them.
const std::map<std::string, Recipe> recipes = {
    {"aac", {Kind::audio, {"-f", "adts"}}},
    {"adts", {Kind::audio, {"-f", "adts"}}},
    {"ac3", {Kind::audio, {"-f", "ac3"}}},
    {"aif", {Kind::audio, {"-f", "aiff"}}},
    {"aifc", {Kind::audio, {"-f", "aiff"}}},
    {"aiff", {Kind::audio, {"-f", "aiff"}}},
    {"amr", {Kind::audio, {}}}, // written by hand below: the tool has no AMR encoder here
    {"au", {Kind::audio, {"-f", "au"}}},
    {"caf", {Kind::audio, {"-f", "caf"}}},
    {"dts", {Kind::audio, {"-c:a", "dca", "-strict", "-2", "-f", "dts"}}},
    {"flac", {Kind::audio, {"-f", "flac"}}},
    {"gsm", {Kind::audio, {"-ar", "8000", "-ac", "1", "-c:a", "libgsm", "-f", "gsm"}}},
    {"m4a", {Kind::audio, {"-c:a", "alac", "-f", "ipod"}}},
    {"m4b", {Kind::audio, {"-c:a", "aac", "-f", "ipod"}}},
    {"mka", {Kind::audio, {"-f", "matroska"}}},
    {"mp2", {Kind::audio, {"-c:a", "mp2", "-f", "mp2"}}},
    {"mp3", {Kind::audio, {"-c:a", "libmp3lame", "-f", "mp3"}}},
    {"mpga", {Kind::audio, {"-c:a", "libmp3lame", "-f", "mp3"}}},
    {"oga", {Kind::audio, {"-c:a", "flac", "-f", "ogg"}}},
    {"ogg", {Kind::audio, {"-c:a", "libvorbis", "-f", "ogg"}}},
    {"opus", {Kind::audio, {"-ar", "48000", "-c:a", "libopus", "-f", "opus"}}},
    {"snd", {Kind::audio, {"-f", "au"}}},
    {"spx", {Kind::audio, {"-ar", "16000", "-ac", "1", "-c:a", "libspeex", "-f", "ogg"}}},
    {"tta", {Kind::audio, {"-f", "tta"}}},
    {"voc", {Kind::audio, {"-f", "voc"}}},
    {"wav", {Kind::audio, {"-f", "wav"}}},
    {"wma", {Kind::audio, {"-c:a", "wmav2", "-f", "asf"}}},
    {"wv", {Kind::audio, {"-f", "wv"}}},
    {"3g2", {Kind::video, {"-c:v", "libx264", "-c:a", "aac", "-f", "3g2"}}},
    {"3gp", {Kind::video, {"-c:v", "libx264", "-c:a", "aac", "-f", "3gp"}}},
    {"3gpp", {Kind::video, {"-c:v", "libx264", "-c:a", "aac", "-f", "3gp"}}},
    {"avi", {Kind::video, {"-c:v", "mpeg4", "-c:a", "libmp3lame", "-f", "avi"}}},
    {"divx", {Kind::video, {"-c:v", "mpeg4", "-c:a", "libmp3lame", "-f", "avi"}}},
    {"f4v", {Kind::video, {"-c:v", "libx264", "-c:a", "aac", "-f", "f4v"}}},
    {"flv", {Kind::video, {"-f", "flv"}}},
    {"m2t", {Kind::video, {"-f", "mpegts"}}},
    {"m2ts", {Kind::video, {"-c:v", "libx264", "-c:a", "ac3", "-mpegts_m2ts_mode", "1", "-f", "mpegts"}}},
    {"m4v", {Kind::video, {"-c:v", "libx264", "-c:a", "aac", "-f", "ipod"}}},
    {"mkv", {Kind::video, {"-f", "matroska"}}},
    {"mov", {Kind::video, {"-f", "mov"}}},
    {"mp4", {Kind::video, {"-f", "mp4"}}},
    {"mpe", {Kind::video, {"-f", "mpeg"}}},
    {"mpeg", {Kind::video, {"-f", "mpeg"}}},
    {"mpg", {Kind::video, {"-f", "mpeg"}}},
    {"mts", {Kind::video, {"-c:v", "libx264", "-c:a", "ac3", "-mpegts_m2ts_mode", "1", "-f", "mpegts"}}},
    {"ogv", {Kind::video, {"-c:v", "libtheora", "-f", "ogg"}}},
    {"qt", {Kind::video, {"-f", "mov"}}},
    {"vob", {Kind::video, {"-f", "vob"}}},
    {"webm", {Kind::video, {"-deadline", "realtime", "-f", "webm"}}},
    {"wmv", {Kind::video, {"-c:v", "wmv2", "-c:a", "wmav2", "-f", "asf"}}},
};

// An AMR-NB file: its magic line and a second of 12.2 kbit/s frames; any payload bits are
// a valid frame.
std::string amrFile()
{
    std::string bytes = "#!AMR\n";
    std::minstd_rand random(3);
    for (int frame = 0; frame < 50; ++frame) {
        bytes += static_cast<char>(7 << 3 | 1 << 2); // frame type 7, quality good
        for (int i = 0; i < 30; ++i)
            bytes += static_cast<char>(random());
    }
    return bytes;
}

std::filesystem::path make(const test::TempDir& dir, const std::string& extension, const Recipe& recipe)
{
    const auto file = dir / ("source." + extension);
    if (extension == "amr")
        return dir.write(file.filename(), amrFile());
    std::vector<std::string> arguments;
    if (recipe.kind == Kind::video)
        arguments = {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=0.4"};
    for (const char* part : {"-f", "lavfi", "-i", "sine=frequency=440:duration=0.4"})
        arguments.push_back(part);
    arguments.insert(arguments.end(), recipe.arguments.begin(), recipe.arguments.end());
    return test::makeMedia(file, arguments);
}

bool offersMediaAction(const std::string& extension)
{
    const auto payload = DropPayload::from({std::filesystem::path("/nowhere/x." + extension)});
    if (payload.groups.empty())
        return false;
    for (const FileAction& action : ActionResolver{payload, payload.groups.front(), std::nullopt}.suggestedActions()) {
        if (action.id == ActionIds::convertAudio || action.id == ActionIds::convertVideo ||
            action.id == ActionIds::extractAudio || action.id == ActionIds::compressVideo)
            return true;
    }
    return false;
}

// Every extension the type registry knows, and those the recipes name.
std::set<std::string> candidateExtensions()
{
    std::set<std::string> extensions;
    for (const QMimeType& type : QMimeDatabase().allMimeTypes())
        for (const QString& suffix : type.suffixes())
            extensions.insert(suffix.toLower().toStdString());
    for (const auto& [extension, recipe] : recipes)
        extensions.insert(extension);
    return extensions;
}

} // namespace

TEST(MediaExtensions, EveryExtensionOfferedAMediaActionHasARecipeAndEveryRecipeIsOffered)
{
    for (const std::string& extension : candidateExtensions())
        EXPECT_EQ(offersMediaAction(extension), recipes.contains(extension)) << extension;
}

TEST(MediaExtensions, AFileOfEveryOfferedExtensionConverts)
{
    test::TempDir temporary;
    const test::EnvironmentVariable tmpdir{"TMPDIR", temporary.path()};
    for (const auto& [extension, recipe] : recipes) {
        SCOPED_TRACE(extension);
        test::TempDir sources;
        test::TempDir out;
        const auto source = make(sources, extension, recipe);
        if (recipe.kind == Kind::audio)
            EXPECT_NO_THROW(AudioProcessor::convertAudio(source, extension == "wav" ? "m4a" : "wav", out.path()));
        else
            EXPECT_NO_THROW(VideoProcessor::convertVideo(source, extension == "mp4" ? "mov" : "mp4", out.path()));
        const auto written = test::entriesIn(out.path());
        if (written.size() != 1) {
            ADD_FAILURE() << written.size() << " files written";
            continue;
        }
        const auto info = test::probe(written.front());
        EXPECT_NE(info.first(recipe.kind == Kind::audio ? "audio" : "video"), nullptr);
        EXPECT_GT(info.duration, 0.2);
    }
}
