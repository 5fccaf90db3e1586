#pragma once

#include "Platform/Scheduler.h"
#include "Views/States/StateCard.h"

#include <QPointer>

class QLabel;
class QScrollArea;
class QVariantAnimation;

namespace vantory {

class CloseButton;
class CopyButton;
class TextButton;
class MarkdownBlocksView;
class WidgetStateManager;

// The card of a summary. Until the first text arrives it thinks: a breathing green
// gradient, a pulsing sparkles symbol, "Processing" and a Cancel button. Then it is a
// white card with a "Summary" badge, a close button, the manager's note if any, the text
// so far rendered line by line as Markdown, and a button that copies the text without its
// emphasis marks. Cancel and close reset the manager; nothing else here changes it.
class SummarizingView final : public StateCard {
    Q_OBJECT

public:
    static constexpr Scheduler::Duration copiedTime{1500};

    SummarizingView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent = nullptr);

    bool isThinking() const;

    void shownWhole() override;

    // The summary as it goes on the clipboard: "**", "__", "~~" and "`" removed, in that order.
    static QString textForCopy(const QString& summary);

    // The parts a test reads.
    QWidget* thinkingFace() const { return thinkingFace_; }
    QWidget* summaryFace() const { return summaryFace_; }
    TextButton* cancelButton() const { return cancelButton_; }
    CloseButton* closeButton() const { return closeButton_; }
    QLabel* noteLabel() const { return noteLabel_; }
    MarkdownBlocksView* blocks() const { return blocks_; }
    CopyButton* copyButton() const { return copyButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* makeThinkingFace();
    QWidget* makeSummaryFace();
    QLayout* makeHeaderRow();
    void startBreathing();
    void follow();
    void crossFadeTo(bool thinking);
    void copy();

    WidgetStateManager& stateManager_;
    Scheduler& scheduler_;
    QWidget* thinkingFace_ = nullptr;
    QWidget* summaryFace_ = nullptr;
    TextButton* cancelButton_ = nullptr;
    CloseButton* closeButton_ = nullptr;
    QLayout* headerRow_ = nullptr;
    QWidget* noteRow_ = nullptr;
    QLabel* noteLabel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    MarkdownBlocksView* blocks_ = nullptr;
    CopyButton* copyButton_ = nullptr;
    class PulsingSymbol* symbol_ = nullptr;

    bool shownThinking_ = true;
    double thinkingLook_ = 1; // 1 thinking, 0 summary; cross-fades between
    double gradientPhase_ = 0;
    QPointer<QVariantAnimation> crossFade_;
};

} // namespace vantory
