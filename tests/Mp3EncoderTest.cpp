// The MP3 encoder wrapper fed by a generated source of every sample layout.
#include "mp3/Wrappers/LameEncoder.h"
#include "mp3/Wrappers/LameEncoderError.h"
#include "support/MediaFixtures.h"
#include "support/TempDir.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <stdexcept>

using namespace vantory;
using namespace vantory::mp3;

namespace {

constexpr int rate = 44100;
constexpr double leftPitch = 440;
constexpr double rightPitch = 660;

// A sine per channel (440 Hz left, 660 Hz right) in the layout asked for.
class ToneReader final : public PcmReader {
public:
    ToneReader(std::optional<SampleLayout> layout, bool interleaved, std::uint32_t channels, std::int64_t frames)
        : layout_(layout),
          interleaved_(interleaved),
          channels_(channels),
          frames_(frames)
    {
    }

    PcmFormat processingFormat() const override { return {rate, channels_, interleaved_}; }
    std::int64_t lengthInFrames() const override { return announcedFrames.value_or(frames_); }

    PcmBuffer read(std::uint32_t maxFrames) override
    {
        if (++*reads > 100)
            throw std::runtime_error("read on and on after the end");
        if (onRead)
            onRead();
        const auto count = static_cast<std::uint32_t>(std::min<std::int64_t>(maxFrames, frames_ - position_));
        planes_.assign(interleaved_ ? 1 : channels_, {});
        for (std::uint32_t frame = 0; frame < count; ++frame) {
            for (std::uint32_t channel = 0; channel < channels_; ++channel) {
                const double pitch = channel == 0 ? leftPitch : rightPitch;
                const double value = 0.5 * std::sin(2 * std::numbers::pi * pitch * double(position_ + frame) / rate);
                append(planes_[interleaved_ ? 0 : channel], value);
            }
        }
        position_ += count;
        PcmBuffer buffer{layout_, {}, count};
        for (const auto& plane : planes_)
            buffer.channels.push_back(plane.data());
        return buffer;
    }

    std::shared_ptr<int> reads = std::make_shared<int>(0);
    std::optional<std::int64_t> announcedFrames; // a length other than what is delivered
    std::function<void()> onRead;

private:
    void append(std::vector<std::uint8_t>& plane, double value) const
    {
        const auto put = [&plane](auto sample) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&sample);
            plane.insert(plane.end(), bytes, bytes + sizeof sample);
        };
        switch (layout_.value_or(SampleLayout::float32)) {
        case SampleLayout::float32: put(static_cast<float>(value)); break;
        case SampleLayout::int16: put(static_cast<std::int16_t>(value * 32767)); break;
        case SampleLayout::int32: put(static_cast<std::int32_t>(value * 2147483647.0)); break;
        }
    }

    std::optional<SampleLayout> layout_;
    bool interleaved_;
    std::uint32_t channels_;
    std::int64_t frames_;
    std::int64_t position_ = 0;
    std::vector<std::vector<std::uint8_t>> planes_;
};

// White noise in full reads: nothing in it for LAME to save.
class NoiseReader final : public PcmReader {
public:
    NoiseReader(int sampleRate, std::int64_t frames) : sampleRate_(sampleRate), frames_(frames) { }

    PcmFormat processingFormat() const override { return {double(sampleRate_), 2, false}; }
    std::int64_t lengthInFrames() const override { return frames_; }

    PcmBuffer read(std::uint32_t maxFrames) override
    {
        const auto count = static_cast<std::uint32_t>(std::min<std::int64_t>(maxFrames, frames_ - position_));
        std::uniform_real_distribution<float> sample(-1, 1);
        for (auto& plane : planes_) {
            plane.resize(count);
            for (float& value : plane)
                value = sample(random_);
        }
        position_ += count;
        return {SampleLayout::float32, {planes_[0].data(), planes_[1].data()}, count};
    }

private:
    int sampleRate_;
    std::int64_t frames_;
    std::int64_t position_ = 0;
    std::minstd_rand random_{7};
    std::vector<float> planes_[2];
};

const LameConfiguration cbr192{LameSampleRate::chosenByLame(), LameBitrateMode::constant(192), LameQuality::nearBest};

struct Encoded {
    std::filesystem::path file;
    int reads = 0;
};

Encoded encode(const test::TempDir& dir, std::unique_ptr<ToneReader> reader,
               std::shared_ptr<EncodingProgress> progress = std::make_shared<EncodingProgress>())
{
    const auto reads = reader->reads;
    const auto file = dir / "out.mp3";
    LameEncoder(std::move(reader), cbr192, file, std::move(progress)).encode();
    return {file, *reads};
}

struct LayoutCase {
    const char* name;
    SampleLayout layout;
    bool interleaved;
    std::uint32_t channels;
};

class Mp3Layouts : public ::testing::TestWithParam<LayoutCase> { };

} // namespace

TEST_P(Mp3Layouts, DecodeToTheSourcePitchPerChannel)
{
    const auto& c = GetParam();
    test::TempDir dir;
    const auto encoded = encode(dir, std::make_unique<ToneReader>(c.layout, c.interleaved, c.channels, rate / 4));

    const auto info = test::probe(encoded.file);
    ASSERT_NE(info.first("audio"), nullptr);
    EXPECT_EQ(info.first("audio")->codec, "mp3");
    EXPECT_EQ(info.first("audio")->sampleRate, rate);
    const auto channels = test::decodedChannels(encoded.file);
    ASSERT_EQ(channels.size(), c.channels);
    EXPECT_NEAR(test::pitchOf(channels[0], rate), leftPitch, 5);
    if (c.channels == 2) {
        EXPECT_NEAR(test::pitchOf(channels[1], rate), rightPitch, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, Mp3Layouts,
                         ::testing::Values(LayoutCase{"FloatInterleavedMono", SampleLayout::float32, true, 1},
                                           LayoutCase{"FloatInterleavedStereo", SampleLayout::float32, true, 2},
                                           LayoutCase{"FloatPlanarMono", SampleLayout::float32, false, 1},
                                           LayoutCase{"FloatPlanarStereo", SampleLayout::float32, false, 2},
                                           LayoutCase{"Int16InterleavedMono", SampleLayout::int16, true, 1},
                                           LayoutCase{"Int16InterleavedStereo", SampleLayout::int16, true, 2},
                                           LayoutCase{"Int16PlanarMono", SampleLayout::int16, false, 1},
                                           LayoutCase{"Int16PlanarStereo", SampleLayout::int16, false, 2},
                                           LayoutCase{"Int32InterleavedMono", SampleLayout::int32, true, 1},
                                           LayoutCase{"Int32InterleavedStereo", SampleLayout::int32, true, 2},
                                           LayoutCase{"Int32PlanarMono", SampleLayout::int32, false, 1},
                                           LayoutCase{"Int32PlanarStereo", SampleLayout::int32, false, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Mp3Encoder, AnEmptySourceAddsNoBytes)
{
    test::TempDir dir;
    const auto encoded = encode(dir, std::make_unique<ToneReader>(SampleLayout::float32, false, 2, 0));
    EXPECT_TRUE(std::filesystem::exists(encoded.file));
    EXPECT_EQ(std::filesystem::file_size(encoded.file), 0u);
}

TEST(Mp3Encoder, EveryFrameOfTheSourceIsEncoded)
{
    struct Case {
        std::int64_t frames;
        int nonEmptyReads;
    };
    for (const Case c : {Case{1, 1}, Case{8192, 1}, Case{8193, 2}}) {
        test::TempDir dir;
        const auto encoded = encode(dir, std::make_unique<ToneReader>(SampleLayout::float32, false, 2, c.frames));
        EXPECT_EQ(encoded.reads, c.nonEmptyReads + 1) << c.frames; // and the read that finds the end
        const auto decoded = static_cast<std::int64_t>(test::decodedChannels(encoded.file).at(0).size());
        // The decoder adds LAME's delay and padding, never takes frames away.
        EXPECT_GE(decoded, c.frames) << c.frames;
        EXPECT_LT(decoded, c.frames + 3 * 1152) << c.frames;
    }
}

TEST(Mp3Encoder, TheDensestSettingsFitTheOutputBuffer)
{
    // 320 kbit/s at 32 kHz puts the most bytes in a frame, and one read of 8192 frames may
    // return LAME's reservoir besides its own frames.
    constexpr int sampleRate = 32000;
    const LameConfiguration densest{LameSampleRate::chosenByLame(), LameBitrateMode::constant(320), LameQuality::nearBest};
    test::TempDir dir;
    const auto file = dir / "noise.mp3";
    LameEncoder(std::make_unique<NoiseReader>(sampleRate, 3 * sampleRate), densest, file, std::make_shared<EncodingProgress>())
        .encode();
    const auto info = test::probe(file);
    ASSERT_NE(info.first("audio"), nullptr);
    EXPECT_EQ(info.first("audio")->sampleRate, sampleRate);
    EXPECT_GE(static_cast<std::int64_t>(test::decodedChannels(file).at(0).size()), 3 * sampleRate);
}

TEST(Mp3Encoder, AppendsToWhatTheDestinationHolds)
{
    test::TempDir dir;
    dir.write("out.mp3", "prefix");
    const auto encoded = encode(dir, std::make_unique<ToneReader>(SampleLayout::int16, true, 2, 4096));
    const std::string bytes = test::readFile(encoded.file);
    EXPECT_EQ(bytes.substr(0, 6), "prefix");
    EXPECT_GT(bytes.size(), 1000u);
}

TEST(Mp3Encoder, ACancelledEncodingRemovesItsFileWithoutAnError)
{
    test::TempDir dir;
    auto progress = std::make_shared<EncodingProgress>();
    progress->cancel();
    const auto encoded = encode(dir, std::make_unique<ToneReader>(SampleLayout::float32, false, 2, 20000), progress);
    EXPECT_EQ(encoded.reads, 0);
    EXPECT_FALSE(std::filesystem::exists(encoded.file));
}

TEST(Mp3Encoder, ASourceEndingBeforeItsAnnouncedLengthEndsTheEncoding)
{
    test::TempDir dir;
    auto reader = std::make_unique<ToneReader>(SampleLayout::int16, true, 2, 10000);
    reader->announcedFrames = 50000;
    const auto encoded = encode(dir, std::move(reader));
    EXPECT_EQ(encoded.reads, 3);
    EXPECT_GE(static_cast<std::int64_t>(test::decodedChannels(encoded.file).at(0).size()), 10000);
}

TEST(Mp3Encoder, CancellingDuringTheEncodingStopsReadingAndRemovesTheFile)
{
    test::TempDir dir;
    auto progress = std::make_shared<EncodingProgress>();
    auto reader = std::make_unique<ToneReader>(SampleLayout::float32, false, 2, 100000);
    reader->onRead = [progress, reads = reader->reads] {
        if (*reads == 2)
            progress->cancel();
    };
    const auto encoded = encode(dir, std::move(reader), progress);
    EXPECT_EQ(encoded.reads, 2);
    EXPECT_FALSE(std::filesystem::exists(encoded.file));
}

TEST(Mp3Encoder, RefusesWhatLameCannotTake)
{
    struct Case {
        const char* name;
        std::optional<SampleLayout> layout;
        std::uint32_t channels;
        LameEncoderError::Kind kind;
    };
    for (const Case& c : {Case{"six channels", SampleLayout::float32, 6, LameEncoderError::Kind::unsupportedSourceFormat},
                          Case{"no layout", std::nullopt, 2, LameEncoderError::Kind::couldNotReadChannelData}}) {
        test::TempDir dir;
        try {
            encode(dir, std::make_unique<ToneReader>(c.layout, false, c.channels, 100));
            ADD_FAILURE() << c.name << ": no error";
        } catch (const LameEncoderError& error) {
            EXPECT_EQ(error.kind(), c.kind) << c.name;
            EXPECT_FALSE(std::string(error.what()).empty());
        }
    }
}

TEST(Mp3Encoder, RawValuesMapOnlyTheKnownCases)
{
    EXPECT_EQ(lameVbrModeFromRaw(0), LameVbrMode::off);
    EXPECT_EQ(lameVbrModeFromRaw(4), LameVbrMode::modernRH);
    EXPECT_EQ(lameVbrModeFromRaw(1), std::nullopt);
    EXPECT_EQ(lameVbrModeFromRaw(5), std::nullopt);
    EXPECT_EQ(lameQualityFromRaw(2), LameQuality::nearBest);
    EXPECT_EQ(lameQualityFromRaw(3), std::nullopt);
    EXPECT_EQ(LameSampleRate::chosenByLame().lameRepresentation(), 0);
    EXPECT_EQ(LameSampleRate::custom(22050).lameRepresentation(), 22050);
}
