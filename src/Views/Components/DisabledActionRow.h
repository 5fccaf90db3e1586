#pragma once

#include <QWidget>
#include <optional>
#include <string>

class QLabel;

namespace vantory {

// An action that cannot run on this drop: a greyed row with the action's symbol and title
// and, when there is one, the reason under the title. It takes no clicks and no hover.
class DisabledActionRow : public QWidget {
    Q_OBJECT

public:
    DisabledActionRow(const QString& title, const std::string& icon, const std::optional<QString>& reason,
                      QWidget* parent = nullptr);

    // The colour of everything drawn on the row, and of its background.
    static QColor foregroundColour();
    static QColor backgroundColour();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantory
