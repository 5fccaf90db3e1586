#include "Views/SymbolLabel.h"

#include "Views/Icons.h"

#include <QAccessibleWidget>

namespace vantory {

namespace {

// What assistive tools see of a symbol: a graphic without a name or a description.
class DecorativeGraphic final : public QAccessibleWidget {
public:
    explicit DecorativeGraphic(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Graphic) { }

    QString text(QAccessible::Text) const override { return {}; }
};

QAccessibleInterface* decorativeGraphicFor(const QString& className, QObject* object)
{
    if (className == QLatin1String(SymbolLabel::staticMetaObject.className()) && object && object->isWidgetType())
        return new DecorativeGraphic(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

SymbolLabel::SymbolLabel(const std::string& symbolName, const QFont& font, QWidget* parent) : QLabel(parent)
{
    // Consulted for this class before QLabel's, so a symbol is never read out as its text.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(decorativeGraphicFor);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setTextFormat(Qt::PlainText);
    setFont(font);
    setSymbol(symbolName);
}

void SymbolLabel::setSymbol(const std::string& symbolName)
{
    symbol_ = symbolName;
    setText(Icons::glyph(symbolName));
}

} // namespace vantory
