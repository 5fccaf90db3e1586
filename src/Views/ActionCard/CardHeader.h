#pragma once

#include <QWidget>
#include <string>

class QHBoxLayout;

namespace vantory {

class CloseButton;
class LabelCapsule;

// The top of the action card: what was dropped, as a symbol and a label on an accent
// capsule, and the close button at the far end.
class CardHeader final : public QWidget {
    Q_OBJECT

public:
    explicit CardHeader(QWidget* parent = nullptr);

    void setLabel(const std::string& icon, const QString& text);
    QString text() const;
    std::string icon() const;
    // Less room below when the tab strip follows.
    void setTabsFollow(bool tabsFollow);

    CloseButton* closeButton() const { return close_; }

private:
    QHBoxLayout* layout_;
    LabelCapsule* capsule_;
    CloseButton* close_;
};

} // namespace vantory
