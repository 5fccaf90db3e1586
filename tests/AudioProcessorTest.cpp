// Audio conversion on tiny generated files.
#include "Converters/Audio/AudioProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Media/MediaOutput.h"
#include "Platform/AppTemporaryFolder.h"
#include "support/ConversionErrors.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// A sine of `frequency` Hz for a second.
std::filesystem::path tone(const std::filesystem::path& file, int channels, int frequency, std::vector<std::string> codec)
{
    std::vector<std::string> arguments{"-f", "lavfi", "-i", "sine=frequency=" + std::to_string(frequency) + ":duration=1",
                                       "-ac", std::to_string(channels)};
    arguments.insert(arguments.end(), codec.begin(), codec.end());
    return test::makeMedia(file, arguments);
}

const std::vector<std::string> mp3WithoutHeaders{"-c:a", "libmp3lame", "-write_xing", "0", "-id3v2_version", "0"};
const std::vector<std::string> adts{"-c:a", "aac", "-f", "adts"};
const std::vector<std::string> tags{"-metadata", "title=Morning Take", "-metadata", "artist=The Testers"};

// `bytes` with everything from `from` on replaced by `filler`.
std::string overwrittenFrom(std::string bytes, std::size_t from, char filler)
{
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), filler);
    return bytes;
}

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
        // A broadcast switching from stereo to mono, one second each, as `cat` joins them.
        else if (name == "switching.mp3")
            test::joined(file, {tone(dir / "stereo.mp3", 2, 440, mp3WithoutHeaders), tone(dir / "mono.mp3", 1, 660, mp3WithoutHeaders)});
        else if (name == "switching.aac")
            test::joined(file, {tone(dir / "stereo.aac", 2, 440, adts), tone(dir / "mono.aac", 1, 660, adts)});
        else if (name == "tagged.flac" || name == "tagged.ogg")
            test::makeTone(file, 0.3, 44100, 2, tags);
        // Damaged sources, each decodable up to its damage.
        else if (name == "damaged.m4a") { // sound whose middle is overwritten
            std::string damaged = test::readFile(test::makeTone(dir / "fine.m4a", 0.5, 44100, 2, {"-c:a", "aac"}));
            damaged.replace(damaged.find("mdat") + 300, 1200, 1200, '\xff');
            dir.write(name, damaged);
        } else if (name == "cut.flac") { // one second of noise, cut after 30 kB
            const auto whole = test::makeMedia(dir / "noise.flac", {"-f", "lavfi", "-i", "anoisesrc=d=1:a=0.5", "-ac", "2"});
            test::cut(file, whole, 30'000);
        } else if (name == "cut.m4a") { // the index at the front, the sound cut at 60 %
            const auto whole = test::makeTone(dir / "faststart.m4a", 1, 44100, 2, {"-c:a", "aac", "-movflags", "+faststart"});
            test::cut(file, whole, std::filesystem::file_size(whole) * 6 / 10);
        } else if (name == "cut.wav") { // 10,000 whole frames and three bytes of the next
            const std::string whole = test::readFile(test::makeTone(dir / "whole.wav", 0.5));
            dir.write(name, whole.substr(0, whole.find("data") + 8 + 10'000 * 4 + 3));
        } else if (name == "joined.mp3") // the second file's ID3 tag and Xing frame in the middle
            test::joined(file, {tone(dir / "first.mp3", 2, 440, {"-c:a", "libmp3lame"}),
                                tone(dir / "second.mp3", 2, 660, {"-c:a", "libmp3lame"})});
        // Sources of which nothing can be read.
        else if (name == "undecodable.m4a") { // a sound index (at the front) over zeroed sound
            const std::string whole = test::readFile(
                test::makeTone(dir / "index.m4a", 0.5, 44100, 2, {"-c:a", "aac", "-movflags", "+faststart"}));
            dir.write(name, overwrittenFrom(whole, whole.find("mdat") + 4, '\0'));
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

TEST_F(AudioProcessorTest, ASourceOfWhichNothingCanBeReadIsLoadFailedAndLeavesNothing)
{
    for (const char* source : {"broken.ogg", "list.mp4", "undecodable.m4a"}) {
        for (const char* target : {"wav", "mp3", "aac"}) { // "aac": any other target makes M4A
            EXPECT_EQ(failure(source, target), ConversionError::loadFailed(*sources / source));
            expectNothingLeft();
        }
    }
}

TEST_F(AudioProcessorTest, AnOutputThatCannotBeWrittenIsExportFailed)
{
    const auto source = *sources / "tone.aiff";
    for (const char* target : {"wav", "mp3", "m4a"}) {
        SCOPED_TRACE(target);
        const auto error =
            test::conversionErrorOf([&] { AudioProcessor::convertAudio(source, target, out.path() / "gone", {}); });
        EXPECT_EQ(error.kind(), ConversionError::Kind::exportFailed);
        EXPECT_EQ(error.url(), source);
    }
    expectNothingLeft();
}

TEST_F(AudioProcessorTest, ADamagedSourceConvertsAsFarAsTheFfmpegToolDecodesIt)
{
    struct Case {
        const char* source;
        const char* target; // not the source's own format, which would be copied
    };
    for (const Case c : {Case{"damaged.m4a", "wav"}, Case{"cut.flac", "wav"}, Case{"cut.m4a", "wav"}, Case{"joined.mp3", "wav"},
                         Case{"cut.wav", "m4a"}}) {
        SCOPED_TRACE(c.source);
        const auto written = convert(c.source, c.target);
        // The tool skips what it cannot decode and keeps the rest; the same encoder pads alike.
        const auto reference =
            test::makeMedia(temporary / ("reference." + std::string(c.target)), {"-i", (*sources / c.source).string()});
        const auto frames = static_cast<double>(test::decodedChannels(written).at(0).size());
        EXPECT_GT(frames, 0);
        EXPECT_NEAR(frames, static_cast<double>(test::decodedChannels(reference).at(0).size()), 1024);
        std::filesystem::remove(written);
    }
}

TEST_F(AudioProcessorTest, AStreamSwitchingFromStereoToMonoConvertsWholeAndStaysStereo)
{
    struct Case {
        const char* source;
        const char* target;
    };
    for (const Case c : {Case{"switching.mp3", "wav"}, Case{"switching.mp3", "m4a"}, Case{"switching.aac", "wav"},
                         Case{"switching.aac", "m4a"}, Case{"switching.aac", "mp3"}}) {
        SCOPED_TRACE(std::string(c.source) + " to " + c.target);
        const auto written = convert(c.source, c.target);
        const auto channels = test::decodedChannels(written);
        ASSERT_EQ(channels.size(), 2u);
        EXPECT_NEAR(channels[0].size() / 44100.0, 2.0, 0.15); // with each encoder's padding
        // The mono second reaches both channels.
        const std::vector<double> lastRight(channels[1].end() - 22050, channels[1].end());
        EXPECT_NEAR(test::pitchOf(lastRight, 44100), 660, 10);
        std::filesystem::remove(written);
    }
}

TEST_F(AudioProcessorTest, TitleAndArtistAreKeptInEveryTarget)
{
    // FLAC keeps its tags for the file, Ogg for the stream.
    for (const char* source : {"tagged.flac", "tagged.ogg"}) {
        for (const char* target : {"wav", "mp3", "m4a"}) {
            SCOPED_TRACE(std::string(source) + " to " + target);
            const auto written = convert(source, target);
            auto tags = test::probe(written).tags;
            EXPECT_EQ(tags["title"], "Morning Take");
            EXPECT_EQ(tags["artist"], "The Testers");
            std::filesystem::remove(written);
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

TEST(WavOutput, PastFourGibibytesTheHeaderSaysSoAsRf64)
{
    struct Case {
        std::int64_t dataBytes;
        const char* header;
    };
    for (const Case c : {Case{40'000, "RIFF"}, Case{std::int64_t{5} << 30, "RF64"}}) {
        SCOPED_TRACE(c.header);
        test::TempDir dir;
        const auto file = dir / "long.wav";
        {
            MediaOutput output(file, "wav");
            AVCodecParameters* stream = output.addStream()->codecpar;
            stream->codec_type = AVMEDIA_TYPE_AUDIO;
            stream->codec_id = AV_CODEC_ID_PCM_S16LE;
            stream->sample_rate = 44100;
            av_channel_layout_default(&stream->ch_layout, 2);
            stream->block_align = 4;
            stream->bits_per_coded_sample = 16;
            output.writeHeader();
            // The samples: a hole in a sparse file, so that nothing of gigabytes is written.
            const std::int64_t dataStart = avio_tell(output.context()->pb);
            ASSERT_GE(avio_seek(output.context()->pb, dataStart + c.dataBytes, SEEK_SET), 0);
            output.finish();
        }
        const std::string header = test::readFile(file).substr(0, 200);
        EXPECT_EQ(header.substr(0, 4), c.header);
        const auto number = [&header](std::size_t at, std::size_t size) {
            std::uint64_t value = 0;
            for (std::size_t i = size; i-- > 0;)
                value = value << 8 | static_cast<unsigned char>(header[at + i]);
            return value;
        };
        if (std::string(c.header) == "RF64") {
            // The sizes that do not fit 32 bits are in the ds64 chunk; the RIFF and data sizes say to look there.
            EXPECT_EQ(number(4, 4), 0xFFFFFFFFu);
            EXPECT_EQ(header.substr(12, 4), "ds64");
            EXPECT_GT(number(20, 8), static_cast<std::uint64_t>(c.dataBytes)); // the whole file's
            EXPECT_EQ(number(28, 8), static_cast<std::uint64_t>(c.dataBytes));
            const std::size_t data = header.find("data");
            ASSERT_NE(data, std::string::npos);
            EXPECT_EQ(number(data + 4, 4), 0xFFFFFFFFu);
        } else {
            const std::size_t data = header.find("data");
            ASSERT_NE(data, std::string::npos);
            EXPECT_EQ(number(data + 4, 4), static_cast<std::uint64_t>(c.dataBytes));
        }
    }
}
