#pragma once

#include "Models/FileCategory.h"
#include "Platform/Scheduler.h"
#include "Views/ActionCard/RowChoice.h"
#include "Views/States/StateCard.h"

#include <QPointer>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QHBoxLayout;
class QScrollArea;
class QStackedLayout;
class QVBoxLayout;

namespace vantory {

class AppendZone;
class CardHeader;
class CategoryTab;
class EasedSwitch;
class ErrorBanner;
class WidgetStateManager;

// The card of the actions phase: what was dropped, a tab per category when there are
// several, and the active category's actions as rows. While more files are dragged over
// it, it offers to add them; a notice or an error banner shows what the state manager
// publishes. It follows the state manager and keeps a row as long as its action is
// offered, so a row's typed text and expansion survive a new payload or tab.
// The card is as tall as what it shows, up to the panel's height less 8 px above and below;
// past that its rows scroll.
class ActionView final : public StateCard {
    Q_OBJECT

public:
    enum class Body { appendZone, notice, rows };

    ActionView(WidgetStateManager& stateManager, Scheduler& scheduler, QWidget* parent = nullptr);

    Body body() const;
    CardHeader* header() const { return header_; }
    std::vector<CategoryTab*> tabs() const;
    // The banner while an error is shown, else none.
    ErrorBanner* banner() const;
    // The row of an offered action, else none; rows in the order shown.
    QWidget* row(const std::string& actionId) const;
    std::vector<QWidget*> rows() const;
    QString notice() const;
    // How far the outline has turned to its accent while files are dragged over the card.
    double dragOutline() const;

protected:
    // Tab goes from the close button through the tabs and the rows, as they are shown, to the banner.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct KeptRow {
        RowKind kind;
        // The payload an unlock row tests; a new payload needs a new row.
        std::uint64_t payloadSerial;
        QPointer<QWidget> widget;
    };

    QWidget* makeTabArea();
    QWidget* makeNoticeForm();
    QWidget* makeRowsForm();
    void followStateManager();
    void followPayload();
    void followActiveTab();
    void followBody();
    void followInlineError();
    void updateHeader();
    void rebuildTabs();
    void updateRows();
    QWidget* makeRow(const FileAction& action, const RowChoice& choice);
    bool canKeep(const KeptRow& row, const RowChoice& choice) const;
    void updateOutlierNote();
    void fitToContent();
    int bodyHeight() const;
    void start(const std::string& actionId, const std::optional<std::string>& targetFormat = std::nullopt,
               const std::optional<std::string>& password = std::nullopt);

    WidgetStateManager& stateManager_;
    Scheduler& scheduler_;
    CardHeader* header_;
    QWidget* tabArea_ = nullptr;
    QScrollArea* tabScroll_ = nullptr;
    QHBoxLayout* tabStrip_ = nullptr;
    std::vector<std::pair<FileCategory, CategoryTab*>> tabs_;
    QWidget* divider_;
    QWidget* body_;
    QStackedLayout* bodyForms_;
    AppendZone* appendZone_;
    QWidget* noticeForm_ = nullptr;
    QLabel* noticeText_ = nullptr;
    QWidget* rowsForm_ = nullptr;
    QVBoxLayout* rowsLayout_ = nullptr;
    QLabel* outlierNote_ = nullptr;
    std::map<std::string, KeptRow> rows_;
    QWidget* bannerArea_;
    ErrorBanner* banner_;
    EasedSwitch* bannerSlide_;
    EasedSwitch* dragOutline_;
};

} // namespace vantory
