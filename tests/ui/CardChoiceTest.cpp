#include "Views/CardChoice.h"

#include <gtest/gtest.h>

using namespace vantory;
using Kind = WidgetPhase::Kind;

namespace {

struct Row {
    Kind phase;
    bool showDonation;
    CardChoice expected;
};

const Row rows[] = {
    {Kind::idle, false, {CardKind::none, CardTransition::none}},
    {Kind::idle, true, {CardKind::none, CardTransition::none}},
    {Kind::hovering, false, {CardKind::dropZone, CardTransition::immediate}},
    {Kind::hovering, true, {CardKind::dropZone, CardTransition::immediate}},
    {Kind::processing, false, {CardKind::processing, CardTransition::immediate}},
    {Kind::actions, false, {CardKind::actions, CardTransition::fade}},
    {Kind::actions, true, {CardKind::donation, CardTransition::fade}},
    {Kind::converting, false, {CardKind::converting, CardTransition::fade}},
    {Kind::converting, true, {CardKind::converting, CardTransition::fade}},
    {Kind::summarizing, false, {CardKind::summarizing, CardTransition::fade}},
    {Kind::completed, false, {CardKind::completed, CardTransition::fade}},
    {Kind::completed, true, {CardKind::completed, CardTransition::fade}},
    {Kind::partialSuccess, false, {CardKind::partialSuccess, CardTransition::fade}},
};

} // namespace

TEST(CardChoice, EachPhaseHasItsCardAndTransition)
{
    for (const Row& row : rows) {
        const CardChoice choice = cardFor(row.phase, row.showDonation);
        EXPECT_EQ(choice.kind, row.expected.kind) << static_cast<int>(row.phase) << " donation " << row.showDonation;
        EXPECT_EQ(choice.transition, row.expected.transition) << static_cast<int>(row.phase);
    }
}
