#pragma once

#include "State/WidgetPhase.h"

namespace vantory {

// Which card the panel shows for a phase, and how it comes and goes.
enum class CardKind { none, dropZone, processing, actions, donation, converting, summarizing, completed, partialSuccess };

enum class CardTransition {
    none, // nothing to show
    immediate, // shown and removed at once
    fade, // faded in and out
};

struct CardChoice {
    CardKind kind;
    CardTransition transition;
    bool operator==(const CardChoice&) const = default;
};

CardChoice cardFor(WidgetPhase::Kind phase, bool showDonation);

} // namespace vantory
