#pragma once

#include <string>

namespace vantory {

// The panel's state.
struct WidgetPhase {
    enum class Kind { idle, hovering, processing, actions, converting, completed, partialSuccess, summarizing };

    Kind kind = Kind::idle;
    int current = 0; // converting
    int total = 0; // converting
    std::string outputPath; // completed, partialSuccess
    std::string summary; // partialSuccess

    static WidgetPhase idle() { return of(Kind::idle); }
    static WidgetPhase hovering() { return of(Kind::hovering); }
    static WidgetPhase processing() { return of(Kind::processing); }
    static WidgetPhase actions() { return of(Kind::actions); }
    static WidgetPhase converting(int current, int total) { return of(Kind::converting, current, total); }
    static WidgetPhase completed(std::string outputPath) { return of(Kind::completed, 0, 0, std::move(outputPath)); }
    static WidgetPhase partialSuccess(std::string outputPath, std::string summary)
    {
        return of(Kind::partialSuccess, 0, 0, std::move(outputPath), std::move(summary));
    }
    static WidgetPhase summarizing() { return of(Kind::summarizing); }

    bool is(Kind other) const { return kind == other; }
    bool operator==(const WidgetPhase&) const = default;

private:
    static WidgetPhase of(Kind kind, int current = 0, int total = 0, std::string outputPath = {}, std::string summary = {})
    {
        WidgetPhase phase;
        phase.kind = kind;
        phase.current = current;
        phase.total = total;
        phase.outputPath = std::move(outputPath);
        phase.summary = std::move(summary);
        return phase;
    }
};

// The screen edge the panel is docked to.
enum class AnchorEdge { left, right, top, bottom };

} // namespace vantory
