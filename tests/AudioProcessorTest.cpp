// Audio conversion on tiny generated files.
#include "Converters/Audio/AudioProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Platform/AppTemporaryFolder.h"
#include "support/ConversionErrors.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

class AudioSources : public test::SourcesMadeOnFirstUse {
    void make(const std::string& name, const std::filesystem::path& file) override
    {
        if (name == "tone.wav" || name == "tone.aiff")
            test::makeTone(file);
        else if (name == "Voice.MP3")
            test::makeTone(file, 0.3, 44100, 2, {"-c:a", "libmp3lame"});
        else if (name == "mono48k.wav")
            test::makeTone(file, 0.3, 48000, 1);
        else if (name == "surround.flac")
            test::makeTone(file, 0.3, 44100, 6);
        else if (name == "silent.mp4")
            test::makeClip(file, {"-c:v", "libx264"}, false);
        else if (name == "damaged.m4a") {
            // Sound whose middle is overwritten: decoding fails after output has begun.
            std::string damaged = test::readFile(test::makeTone(dir / "fine.m4a", 0.5, 44100, 2, {"-c:a", "aac"}));
            damaged.replace(damaged.find("mdat") + 300, 1200, 1200, '\xff');
            dir.write(name, damaged);
        } else if (name == "broken.ogg")
            dir.write(name, "RIFF\x10\0\0\0WAVEfmt garbage that is no audio at all");
        else if (name == "list.mp4") { // a concatenation list: FFmpeg would read the file it names
            (*this) / "tone.wav";
            dir.write(name, "ffconcat version 1.0\nfile 'tone.wav'\n");
        } else
            ADD_FAILURE() << "no source " << name;
    }
};

class AudioProcessorTest : public test::MediaProcessorTest<AudioSources> {
protected:
    std::filesystem::path convert(const std::string& source, const std::string& target)
    {
        AudioProcessor::convertAudio(*sources / source, target, out.path());
        return test::onlyFileIn(out.path()).path;
    }

    ConversionError failure(const std::string& source, const std::string& target)
    {
        SCOPED_TRACE(source + " to " + target);
        return test::conversionErrorOf([&] { AudioProcessor::convertAudio(*sources / source, target, out.path()); });
    }

    void expectNothingLeft()
    {
        EXPECT_TRUE(test::entriesIn(out.path()).empty());
        expectNoWorkingFiles();
    }

    void expectNoWorkingFiles()
    {
        const auto appFolder = AppTemporaryFolder::location();
        if (std::filesystem::exists(appFolder)) {
            EXPECT_TRUE(test::entriesIn(appFolder).empty()) << "a working file is left";
        }
    }
};

struct TargetCase {
    std::string source;
    std::string target;
    std::string extension;
    std::string codec;
    std::string brand;
};

class AudioTargets : public AudioProcessorTest, public ::testing::WithParamInterface<TargetCase> { };

} // namespace

TEST_P(AudioTargets, WritesTheTargetsFormatWithTheSourcesLength)
{
    const auto& c = GetParam();
    const auto written = convert(c.source, c.target);
    EXPECT_EQ(written.extension(), "." + c.extension);
    EXPECT_EQ(written.stem().string().substr(0, written.stem().string().size() - 9), "tone");
    const auto info = test::probe(written);
    ASSERT_NE(info.first("audio"), nullptr);
    EXPECT_EQ(info.first("audio")->codec, c.codec);
    EXPECT_EQ(info.majorBrand, c.brand);
    EXPECT_EQ(info.first("audio")->channels, 2);
    // MP3 without a header frame holds LAME's delay and padding.
    EXPECT_NEAR(info.duration, 0.3, c.codec == "mp3" ? 0.1 : 0.05);
    expectNoWorkingFiles();
}

INSTANTIATE_TEST_SUITE_P(EveryTarget, AudioTargets,
                         ::testing::Values(TargetCase{"tone.wav", "m4a", "m4a", "aac", "M4A "},
                                           TargetCase{"tone.wav", "MP3", "mp3", "mp3", ""},
                                           TargetCase{"tone.aiff", "wav", "wav", "pcm_s16le", ""},
                                           TargetCase{"tone.wav", "aiff", "m4a", "aac", "M4A "}),
                         [](const auto& info) { return info.param.source.substr(5) + "_to_" + info.param.target; });

TEST_F(AudioProcessorTest, ASourceInTheTargetsFormatIsCopiedUnchanged)
{
    const auto source = *sources / "Voice.MP3";
    const auto written = convert("Voice.MP3", "mp3");
    EXPECT_EQ(written.extension(), ".mp3");
    EXPECT_EQ(test::readFile(written), test::readFile(source));
}

TEST_F(AudioProcessorTest, MonoStaysMonoAtItsRate)
{
    for (const char* target : {"wav", "mp3", "m4a"}) {
        const auto info = test::probe(convert("mono48k.wav", target));
        ASSERT_NE(info.first("audio"), nullptr) << target;
        EXPECT_EQ(info.first("audio")->channels, 1) << target;
        EXPECT_EQ(info.first("audio")->sampleRate, 48000) << target;
        std::filesystem::remove_all(out.path());
        std::filesystem::create_directory(out.path());
    }
}

TEST_F(AudioProcessorTest, MoreThanTwoChannelsAreMixedToStereo)
{
    for (const char* target : {"wav", "mp3", "m4a"}) {
        const auto written = convert("surround.flac", target);
        const auto info = test::probe(written);
        ASSERT_NE(info.first("audio"), nullptr) << target;
        EXPECT_EQ(info.first("audio")->channels, 2) << target;
        // What the header declares matches the data: the length comes out right.
        EXPECT_NEAR(info.duration, 0.3, std::string(target) == "mp3" ? 0.1 : 0.05) << target;
        const auto channels = test::decodedChannels(written);
        ASSERT_EQ(channels.size(), 2u);
        EXPECT_NEAR(test::pitchOf(channels[0], 44100), 440, 5) << target;
        std::filesystem::remove_all(out.path());
        std::filesystem::create_directory(out.path());
    }
}

TEST_F(AudioProcessorTest, AVideoWithoutAudioHasNoTrackForWavAndMp3AndFailsTheM4aExport)
{
    EXPECT_EQ(failure("silent.mp4", "wav").kind(), ConversionError::Kind::noAudioTrack);
    EXPECT_EQ(failure("silent.mp4", "mp3").kind(), ConversionError::Kind::noAudioTrack);
    EXPECT_EQ(failure("silent.mp4", "m4a"), ConversionError::exportFailed(*sources / "silent.mp4", "M4A export failed"));
    expectNothingLeft();
}

TEST_F(AudioProcessorTest, AnUnreadableSourceFailsAndLeavesNothing)
{
    for (const char* source : {"broken.ogg", "list.mp4", "damaged.m4a"}) {
        for (const char* target : {"wav", "mp3", "aac"}) { // "aac": any other target makes M4A
            EXPECT_ANY_THROW(AudioProcessor::convertAudio(*sources / source, target, out.path())) << source << " " << target;
            expectNothingLeft();
        }
    }
}

TEST_F(AudioProcessorTest, ACancelledConversionStopsAndLeavesNothing)
{
    std::stop_source stop;
    stop.request_stop();
    for (const char* target : {"wav", "mp3", "m4a"}) {
        EXPECT_THROW(AudioProcessor::convertAudio(*sources / "tone.aiff", target, out.path(), stop.get_token()),
                     ConversionCancelled)
            << target;
        expectNothingLeft();
    }
}
