#pragma once

#include <cstdint>
#include <optional>
#include <variant>

struct lame_global_struct;

namespace vantory::mp3 {

// LAME's variable-bitrate modes; the values are LAME's own.
enum class LameVbrMode : std::uint32_t { off = 0, rh = 2, average = 3, modernRH = 4 };
inline constexpr LameVbrMode defaultVbrMode = LameVbrMode::modernRH;
std::optional<LameVbrMode> lameVbrModeFromRaw(std::uint32_t raw);

// LAME's algorithm quality: 0 slowest and best, 9 fastest.
enum class LameQuality : std::int32_t { best = 0, nearBest = 2, standard = 5, ok = 7, worst = 9 };
std::optional<LameQuality> lameQualityFromRaw(std::int32_t raw);

// The output sample rate: a rate in Hz, or the one LAME chooses for the bitrate.
struct LameSampleRate {
    std::optional<std::int32_t> customHz;

    static LameSampleRate custom(std::int32_t hz) { return {hz}; }
    static LameSampleRate chosenByLame() { return {}; }
    std::int32_t lameRepresentation() const { return customHz.value_or(0); }
};

struct LameBitrateMode {
    struct Variable {
        LameVbrMode mode;
    };
    struct Constant {
        std::int32_t kbps;
    };
    std::variant<Variable, Constant> mode;

    static LameBitrateMode variable(LameVbrMode vbr) { return {Variable{vbr}}; }
    static LameBitrateMode constant(std::int32_t kbps) { return {Constant{kbps}}; }

    // Sets the bitrate or the VBR mode on a LAME handle, nothing else.
    void configure(lame_global_struct* lame) const;
};

struct LameConfiguration {
    LameSampleRate sampleRate;
    LameBitrateMode bitrateMode;
    LameQuality quality = LameQuality::nearBest;
};

} // namespace vantory::mp3
