// Video actions on tiny generated clips.
#include "Converters/Video/VideoProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Media/VideoTranscoder.h"
#include "support/ConversionErrors.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"

#include <functional>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

const std::vector<std::string> h264{"-c:v", "libx264", "-pix_fmt", "yuv420p"};
const std::vector<std::string> hevc{"-c:v", "libx265", "-x265-params", "log-level=none", "-pix_fmt", "yuv420p"};

// A second of the test picture with a tone of `channels` channels, as the container of
// the file's extension has them by default, `more` arguments before the file.
std::filesystem::path second(const std::filesystem::path& file, int channels, int frequency,
                             const std::vector<std::string>& more = {})
{
    std::vector<std::string> arguments{"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=1", "-f", "lavfi", "-i",
                                       "sine=frequency=" + std::to_string(frequency) + ":duration=1", "-ac",
                                       std::to_string(channels)};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return test::makeMedia(file, arguments);
}

class VideoSources : public test::SourcesMadeOnFirstUse {
    void make(const std::string& name, const std::filesystem::path& file) override
    {
        if (name == "clip.mp4")
            test::makeClip(file, h264);
        else if (name == "hevc.mp4")
            test::makeClip(file, hevc);
        else if (name == "pcm.mov")
            test::makeClip(file, h264, true, {"-c:a", "pcm_s16le"});
        else if (name == "mp3sound.mp4")
            test::makeClip(file, h264, true, {"-c:a", "libmp3lame"});
        else if (name == "silent.mp4")
            test::makeClip(file, h264, false);
        else if (name == "mjpeg.avi")
            test::makeClip(file, {"-c:v", "mjpeg", "-q:v", "2"}, false, {}, "320x240");
        else if (name == "tight.mp4")
            test::makeClip(file, {"-c:v", "libx264", "-crf", "51", "-pix_fmt", "yuv420p"}, false);
        else if (name == "broken.mp4")
            dir.write(name, std::string(4096, '\x42'));
        // A broadcast switching from stereo to mono: MPEG-2 video and audio, as `cat` joins them.
        else if (name == "switching.ts")
            test::joined(file, {second(dir / "stereo.ts", 2, 440), second(dir / "mono.ts", 1, 660, {"-output_ts_offset", "1"})});
        // Its streams start at 1.5 s and 1.489 s, as broadcasts and camcorders have them.
        else if (name == "broadcast.ts")
            second(file, 2, 440);
        // Lossless H.264 (so that compressing gains) and Vorbis, the sound a second after the picture.
        else if (name == "delayed.mkv")
            test::makeMedia(file, {"-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=2", "-itsoffset", "1", "-f", "lavfi",
                                   "-i", "sine=duration=1", "-c:v", "libx264", "-crf", "0"});
        else if (name == "phone.mov") { // portrait, dated and placed, as phones record; lossless, so compressing gains
            const auto plain = test::makeClip(dir / "plain.mov", {"-c:v", "libx265", "-x265-params", "log-level=none:lossless=1"});
            test::makeMedia(file, {"-i", plain.string(), "-c", "copy", "-metadata:s:v", "rotate=90", "-metadata",
                                   "creation_time=2021-06-05T04:03:02Z", "-metadata", "location=+48.8577+002.2950/",
                                   "-metadata", "title=Tower"});
        } else if (name == "wide.mkv") // wider than any encoder is useful for, yet tiny
            test::makeClip(file, {"-c:v", "ffv1"}, false, {}, "8200x16", 0.2);
        else
            ADD_FAILURE() << "no source " << name;
    }
};

// One video action on a source, writing into a folder.
struct Action {
    const char* name;
    std::function<void(const std::filesystem::path& url, const std::filesystem::path& folder)> run;
};

const std::vector<Action> reencodingActions = {
    {"audio extracted", [](const auto& url, const auto& folder) { VideoProcessor::extractAudio(url, folder, "m4a"); }},
    {"converted to M4V", [](const auto& url, const auto& folder) { VideoProcessor::convertVideo(url, "m4v", folder); }},
    {"compressed", [](const auto& url, const auto& folder) { VideoProcessor::compressVideo(url, folder); }},
};

const std::vector<Action> everyAction = {
    {"converted to MOV", [](const auto& url, const auto& folder) { VideoProcessor::convertVideo(url, "mov", folder); }},
    reencodingActions[0],
    reencodingActions[1],
    reencodingActions[2],
};

class VideoProcessorTest : public test::MediaProcessorTest<VideoSources> {
protected:
    std::filesystem::path only() { return test::onlyFileIn(out.path()).path; }

    void expectNothingLeft() { EXPECT_TRUE(test::entriesIn(out.path()).empty()); }
};

struct ContainerCase {
    std::string source;
    std::string target;
    std::string extension;
    std::string brand;
    std::string videoCodec;
    std::string audioCodec;
};

class VideoContainers : public VideoProcessorTest, public ::testing::WithParamInterface<ContainerCase> { };

} // namespace

TEST_P(VideoContainers, HoldTheSourcesStreams)
{
    const auto& c = GetParam();
    VideoProcessor::convertVideo(*sources / c.source, c.target, out.path());
    const auto written = only();
    EXPECT_EQ(written.extension(), "." + c.extension);
    const auto info = test::probe(written);
    EXPECT_EQ(info.majorBrand, c.brand);
    ASSERT_NE(info.first("video"), nullptr);
    ASSERT_NE(info.first("audio"), nullptr);
    EXPECT_EQ(info.first("video")->codec, c.videoCodec);
    EXPECT_EQ(info.first("audio")->codec, c.audioCodec);
    EXPECT_EQ(info.first("video")->pixelFormat, "yuv420p");
    EXPECT_NEAR(info.duration, 0.4, 0.05);
}

INSTANTIATE_TEST_SUITE_P(EveryContainer, VideoContainers,
                         ::testing::Values(ContainerCase{"clip.mp4", "mov", "mov", "qt  ", "h264", "aac"},
                                           ContainerCase{"clip.mp4", "M4V", "m4v", "M4V ", "h264", "aac"},
                                           // The target has no container of its own: MP4 under the target's name.
                                           ContainerCase{"clip.mp4", "avi", "avi", "isom", "h264", "aac"},
                                           // M4V cannot hold HEVC, MP4 cannot hold PCM: one re-encoded file instead.
                                           ContainerCase{"hevc.mp4", "m4v", "m4v", "M4V ", "h264", "aac"},
                                           ContainerCase{"pcm.mov", "mp4", "mp4", "isom", "h264", "aac"}),
                         [](const auto& info) {
                             return info.param.source.substr(0, info.param.source.find('.')) + "_to_" + info.param.target;
                         });

TEST_F(VideoProcessorTest, ASourceInTheTargetsFormatIsCopiedUnchanged)
{
    const auto clip = *sources / "clip.mp4";
    VideoProcessor::convertVideo(clip, "MP4", out.path());
    EXPECT_EQ(test::readFile(only()), test::readFile(clip));
}

TEST_F(VideoProcessorTest, AnUnreadableSourceIsLoadFailedForEveryActionAndLeavesNothing)
{
    const auto broken = *sources / "broken.mp4";
    for (const auto& action : everyAction) {
        SCOPED_TRACE(action.name);
        EXPECT_EQ(test::conversionErrorOf([&] { action.run(broken, out.path()); }), ConversionError::loadFailed(broken));
    }
    expectNothingLeft();
}

TEST_F(VideoProcessorTest, PicturesLargerThanTheEncodersTakeAreRefusedBeforeDecoding)
{
    const auto wide = *sources / "wide.mkv";
    // M4V cannot hold FFV1: the conversion re-encodes.
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::convertVideo(wide, "m4v", out.path()); }),
              ConversionError::loadFailed(wide));
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::compressVideo(wide, out.path()); }),
              ConversionError::loadFailed(wide));
    expectNothingLeft();
}

TEST_F(VideoProcessorTest, AStreamSwitchingFromStereoToMonoIsReencodedWholeAndStaysStereo)
{
    for (const auto& action : reencodingActions) {
        SCOPED_TRACE(action.name);
        action.run(*sources / "switching.ts", out.path());
        const auto channels = test::decodedChannels(only());
        ASSERT_EQ(channels.size(), 2u);
        EXPECT_NEAR(channels[0].size() / 44100.0, 2.0, 0.1);
        const std::vector<double> lastRight(channels[1].end() - 22050, channels[1].end());
        EXPECT_NEAR(test::pitchOf(lastRight, 44100), 660, 10); // the mono second reaches both channels
        std::filesystem::remove(only());
    }
}

TEST_F(VideoProcessorTest, TheSoundKeepsItsPlaceAgainstThePicture)
{
    for (const char* source : {"broadcast.ts", "delayed.mkv"}) {
        const auto original = test::probe(*sources / source);
        const double lead = original.first("audio")->startTime - original.first("video")->startTime;
        for (const auto& action : {reencodingActions[1], reencodingActions[2]}) {
            SCOPED_TRACE(std::string(source) + ", " + action.name);
            action.run(*sources / source, out.path());
            const auto written = test::probe(only());
            ASSERT_NE(written.first("audio"), nullptr);
            ASSERT_NE(written.first("video"), nullptr);
            EXPECT_NEAR(written.first("audio")->startTime - written.first("video")->startTime, lead, 1024 / 44100.0);
            // No empty lead: the earlier of the two starts at once.
            EXPECT_LT(std::min(written.first("audio")->startTime, written.first("video")->startTime), 0.05);
            std::filesystem::remove(only());
        }
    }
}

TEST_F(VideoProcessorTest, APhoneClipKeepsItsRotationDateAndPlace)
{
    const auto phone = *sources / "phone.mov";
    const auto original = test::probe(phone);
    ASSERT_NE(original.first("video")->rotation, 0);
    const std::vector<Action> actions = {
        {"copied into MP4", [](const auto& url, const auto& folder) { VideoProcessor::convertVideo(url, "mp4", folder); }},
        reencodingActions[1], // M4V cannot hold HEVC
        reencodingActions[2],
    };
    for (const auto& action : actions) {
        SCOPED_TRACE(action.name);
        action.run(phone, out.path());
        auto written = test::probe(only());
        ASSERT_NE(written.first("video"), nullptr);
        EXPECT_EQ(written.first("video")->rotation, original.first("video")->rotation);
        for (const char* tag : {"creation_time", "location", "title"})
            EXPECT_EQ(written.tags[tag], original.tags.at(tag)) << tag;
        std::filesystem::remove(only());
    }
}

TEST_F(VideoProcessorTest, CompressionKeepsASmallerHevcFileReadyForStreaming)
{
    const auto source = *sources / "mjpeg.avi";
    VideoProcessor::compressVideo(source, out.path());
    const auto written = only();
    EXPECT_EQ(written.extension(), ".mp4");
    EXPECT_LT(std::filesystem::file_size(written), std::filesystem::file_size(source));
    const auto info = test::probe(written);
    ASSERT_NE(info.first("video"), nullptr);
    EXPECT_EQ(info.first("video")->codec, "hevc");
    EXPECT_EQ(info.first("video")->tag, "hvc1");
    EXPECT_EQ(info.first("video")->pixelFormat, "yuv420p");
    EXPECT_EQ(info.first("video")->width, 320);
    const std::string bytes = test::readFile(written);
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat")) << "the index is not at the front";
}

TEST_F(VideoProcessorTest, CompressionThatGainsNothingIsAlreadyOptimalAndLeavesNothing)
{
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::compressVideo(*sources / "tight.mp4", out.path()); }).kind(),
              ConversionError::Kind::alreadyOptimal);
    expectNothingLeft();
}

TEST_F(VideoProcessorTest, ExtractedAudioIsCopiedIntoM4aOrEncodedWhenM4aCannotHoldIt)
{
    for (const char* source : {"clip.mp4", "mp3sound.mp4"}) {
        VideoProcessor::extractAudio(*sources / source, out.path(), "m4a");
        const auto written = only();
        EXPECT_EQ(written.extension(), ".m4a") << source;
        const auto info = test::probe(written);
        EXPECT_EQ(info.majorBrand, "M4A ") << source;
        EXPECT_EQ(info.first("video"), nullptr) << source;
        ASSERT_NE(info.first("audio"), nullptr) << source;
        EXPECT_EQ(info.first("audio")->codec, "aac") << source;
        std::filesystem::remove(written);
    }
}

TEST_F(VideoProcessorTest, ExtractingFromAVideoWithoutAudioFails)
{
    const auto silent = *sources / "silent.mp4";
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::extractAudio(silent, out.path(), "m4a"); }),
              ConversionError::exportFailed(silent, "Audio extraction failed"));
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::extractAudio(silent, out.path(), "wav"); }).kind(),
              ConversionError::Kind::noAudioTrack);
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::extractAudio(silent, out.path(), "mp3"); }).kind(),
              ConversionError::Kind::noAudioTrack);
    expectNothingLeft();
}

TEST_F(VideoProcessorTest, ExtractingToMp3GoesThroughTheAudioConversion)
{
    VideoProcessor::extractAudio(*sources / "clip.mp4", out.path(), "MP3");
    const auto info = test::probe(only());
    ASSERT_NE(info.first("audio"), nullptr);
    EXPECT_EQ(info.first("audio")->codec, "mp3");
}

TEST_F(VideoProcessorTest, ACancelledActionStopsAndLeavesNothing)
{
    std::stop_source stop;
    stop.request_stop();
    const auto clip = *sources / "clip.mp4";
    const auto hevc = *sources / "hevc.mp4";
    EXPECT_THROW(VideoProcessor::convertVideo(clip, "mov", out.path(), stop.get_token()), ConversionCancelled);
    EXPECT_THROW(VideoProcessor::convertVideo(hevc, "m4v", out.path(), stop.get_token()), ConversionCancelled);
    EXPECT_THROW(VideoProcessor::compressVideo(clip, out.path(), stop.get_token()), ConversionCancelled);
    EXPECT_THROW(VideoProcessor::extractAudio(clip, out.path(), "m4a", stop.get_token()), ConversionCancelled);
    expectNothingLeft();
}

TEST(FittedSize, ShrinksIntoTheBoxNeverGrowsAndKeepsSidesEven)
{
    const VideoEncoding hd{"libx265", 28, 1920, 1080};
    const VideoEncoding unbounded{"libx264", 18};
    struct Case {
        int width, height;
        const VideoEncoding& encoding;
        int expectedWidth, expectedHeight;
    };
    for (const Case& c : {Case{3840, 2160, hd, 1920, 1080}, Case{2160, 3840, hd, 1080, 1920}, Case{640, 480, hd, 640, 480},
                          Case{4000, 1000, hd, 1920, 480}, Case{101, 75, unbounded, 100, 74}, Case{1, 1, unbounded, 2, 2}}) {
        const auto size = fittedSize(c.width, c.height, c.encoding);
        EXPECT_EQ(size.width, c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(size.height, c.expectedHeight) << c.width << "x" << c.height;
    }
}
