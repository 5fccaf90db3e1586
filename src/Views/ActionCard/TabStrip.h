#pragma once

#include <QScrollArea>

namespace vantory {

// The action card's strip of category tabs. When the tabs are wider than the card it scrolls
// sideways: by a sideways wheel and, as tab bars do, by an ordinary one.
class TabStrip final : public QScrollArea {
    Q_OBJECT

public:
    explicit TabStrip(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace vantory
