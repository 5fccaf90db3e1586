#include "Views/CardChoice.h"

namespace vantory {

CardChoice cardFor(WidgetPhase::Kind phase, bool showDonation)
{
    using Kind = WidgetPhase::Kind;
    switch (phase) {
    case Kind::idle: return {CardKind::none, CardTransition::none};
    case Kind::hovering: return {CardKind::dropZone, CardTransition::immediate};
    case Kind::processing: return {CardKind::processing, CardTransition::immediate};
    case Kind::actions: return {showDonation ? CardKind::donation : CardKind::actions, CardTransition::fade};
    case Kind::converting: return {CardKind::converting, CardTransition::fade};
    case Kind::summarizing: return {CardKind::summarizing, CardTransition::fade};
    case Kind::completed: return {CardKind::completed, CardTransition::fade};
    case Kind::partialSuccess: return {CardKind::partialSuccess, CardTransition::fade};
    }
    return {CardKind::none, CardTransition::none};
}

} // namespace vantory
