// Video actions on tiny generated clips.
#include "Converters/Video/VideoProcessor.h"
#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Media/VideoTranscoder.h"
#include "support/ConversionErrors.h"
#include "support/MediaFixtures.h"
#include "support/OutputFolder.h"

#include <gtest/gtest.h>

using namespace vantory;

namespace {

const std::vector<std::string> h264{"-c:v", "libx264", "-pix_fmt", "yuv420p"};

class VideoSources : public test::SourcesMadeOnFirstUse {
    void make(const std::string& name, const std::filesystem::path& file) override
    {
        if (name == "clip.mp4")
            test::makeClip(file, h264);
        else if (name == "hevc.mp4")
            test::makeClip(file, {"-c:v", "libx265", "-x265-params", "log-level=none", "-pix_fmt", "yuv420p"});
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
        else
            ADD_FAILURE() << "no source " << name;
    }
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

TEST_F(VideoProcessorTest, AnUnreadableSourceFailsEveryActionAndLeavesNothing)
{
    const auto broken = *sources / "broken.mp4";
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::convertVideo(broken, "mov", out.path()); }).kind(),
              ConversionError::Kind::exportFailed);
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::compressVideo(broken, out.path()); }),
              ConversionError::loadFailed(broken));
    EXPECT_EQ(test::conversionErrorOf([&] { VideoProcessor::extractAudio(broken, out.path(), "m4a"); }),
              ConversionError::exportFailed(broken, "Audio extraction failed"));
    expectNothingLeft();
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
