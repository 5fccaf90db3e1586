#include "mp3/Wrappers/LameConfiguration.h"

#include <lame/lame.h>

namespace vantory::mp3 {

std::optional<LameVbrMode> lameVbrModeFromRaw(std::uint32_t raw)
{
    switch (raw) {
    case 0: return LameVbrMode::off;
    case 2: return LameVbrMode::rh;
    case 3: return LameVbrMode::average;
    case 4: return LameVbrMode::modernRH;
    default: return std::nullopt;
    }
}

std::optional<LameQuality> lameQualityFromRaw(std::int32_t raw)
{
    switch (raw) {
    case 0: return LameQuality::best;
    case 2: return LameQuality::nearBest;
    case 5: return LameQuality::standard;
    case 7: return LameQuality::ok;
    case 9: return LameQuality::worst;
    default: return std::nullopt;
    }
}

void LameBitrateMode::configure(lame_global_struct* lame) const
{
    if (const auto* constant = std::get_if<Constant>(&mode))
        lame_set_brate(lame, constant->kbps);
    else
        lame_set_VBR(lame, static_cast<vbr_mode>(std::get<Variable>(mode).mode));
}

} // namespace vantory::mp3
