#pragma once

#include <string>

namespace vantory {

// The panel's state.
struct WidgetPhase {
    enum class Kind { idle, hovering, processing, actions, converting, completed, partialSuccess, summarizing };

    Kind kind = Kind::idle;
    int current = 0;           // converting
    int total = 0;             // converting
    std::string outputPath;    // completed, partialSuccess
    std::string summary;       // partialSuccess

    static WidgetPhase idle() { return {Kind::idle}; }
    static WidgetPhase hovering() { return {Kind::hovering}; }
    static WidgetPhase processing() { return {Kind::processing}; }
    static WidgetPhase actions() { return {Kind::actions}; }
    static WidgetPhase converting(int current, int total) { return {Kind::converting, current, total}; }
    static WidgetPhase completed(std::string outputPath) { return {Kind::completed, 0, 0, std::move(outputPath)}; }
    static WidgetPhase partialSuccess(std::string outputPath, std::string summary)
    {
        return {Kind::partialSuccess, 0, 0, std::move(outputPath), std::move(summary)};
    }
    static WidgetPhase summarizing() { return {Kind::summarizing}; }

    bool is(Kind other) const { return kind == other; }
    bool operator==(const WidgetPhase&) const = default;
};

// The screen edge the panel is docked to.
enum class AnchorEdge { left, right, top, bottom };

} // namespace vantory
