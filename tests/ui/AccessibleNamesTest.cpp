// What assistive tools read of each card: every control is named as it reads on screen, and
// no name is one of the icon font's private-use glyphs.

#include "State/WidgetStateManager.h"
#include "Views/ActionCard/ActionView.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/States/CompletedView.h"
#include "Views/States/ConvertingView.h"
#include "Views/States/DonationView.h"
#include "Views/States/DropZoneView.h"
#include "Views/States/IdleOrbView.h"
#include "Views/States/PartialSuccessView.h"
#include "Views/States/ProcessingView.h"
#include "Views/States/SummarizingView.h"
#include "support/Animations.h"
#include "support/FakedStateManager.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace vantory;
using namespace std::chrono_literals;

namespace {

struct AccessibleNode {
    QAccessible::Role role;
    QString name;
    QString description;
    bool showing;
    QObject* object;
};

void collect(QAccessibleInterface* node, std::vector<AccessibleNode>& into)
{
    if (!node)
        return;
    into.push_back({node->role(), node->text(QAccessible::Name), node->text(QAccessible::Description), !node->state().invisible,
                    node->object()});
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), into);
}

std::vector<AccessibleNode> accessibleTree(QWidget* root)
{
    std::vector<AccessibleNode> nodes;
    collect(QAccessible::queryAccessibleInterface(root), nodes);
    return nodes;
}

bool hasPrivateUseCharacter(const QString& text)
{
    for (const char32_t c : text.toUcs4())
        if ((c >= 0xE000 && c <= 0xF8FF) || c >= 0xF0000)
            return true;
    return false;
}

class AccessibleNamesTest : public ::testing::Test, protected test::FakedStateManager {
protected:
    test::TempDir dir;
    std::unique_ptr<QWidget> card;

    ~AccessibleNamesTest() override
    {
        card.reset();
        test::finishBackgroundWork();
    }

    // An image, a document and a folder: tabs, a convert menu, plain rows.
    void dropMixedFiles()
    {
        std::filesystem::create_directories(dir / "folder");
        manager->handleDrop({dir.write("photo.png", "x"), dir.write("report.pdf", "y"), dir / "folder"});
        settle();
    }

    ActionView* showActionCard()
    {
        auto* view = new ActionView(*manager, clock);
        card.reset(view);
        card->show();
        return view;
    }

    // Every convert menu and password row open, as clicks would leave them.
    void unfoldEveryRow()
    {
        for (auto* menu : card->findChildren<ConvertMenuButton*>())
            menu->row()->click();
        for (auto* lock : card->findChildren<LockPDFButton*>())
            lock->header()->click();
        test::finishAnimations(card.get());
    }

    void show(QWidget* widget)
    {
        card.reset(widget);
        card->show();
        test::finishAnimations(card.get());
    }
};

} // namespace

TEST_F(AccessibleNamesTest, NoCardNamesAnythingWithAnIconGlyph)
{
    const std::vector<std::pair<const char*, std::function<void()>>> scenes = {
        {"image tab, menus open, banner",
         [&] {
             dropMixedFiles();
             showActionCard();
             unfoldEveryRow();
             manager->setInlineError("No supported files found");
         }},
        {"folder tab, password row open",
         [&] {
             dropMixedFiles();
             manager->setActiveTab(FileCategory::folder);
             showActionCard();
             unfoldEveryRow();
         }},
        {"append zone",
         [&] {
             dropMixedFiles();
             showActionCard();
             manager->setIsAppendDragOver(true);
         }},
        {"notice",
         [&] {
             dropMixedFiles();
             showActionCard();
             manager->appendFiles({dir / "photo.png"});
             settle();
         }},
        {"idle orb", [&] { show(new IdleOrbView); }},
        {"drop zone", [&] { show(new DropZoneView); }},
        {"processing", [&] { show(new ProcessingView); }},
        {"converting one file", [&] { show(new ConvertingView(0, 1, {})); }},
        {"converting three files", [&] { show(new ConvertingView(1, 3, {})); }},
        {"completed", [&] { show(new CompletedView); }},
        {"partial success", [&] { show(new PartialSuccessView(QStringLiteral("1 Processed, 1 Skipped"))); }},
        {"donation", [&] { show(new DonationView(QString(), {}, {})); }},
        {"summary",
         [&] {
             manager->handleDrop({dir.write("notes.txt", "Some text.")});
             settle();
             manager->startConversion("summarize");
             show(new SummarizingView(*manager, clock));
             test::finishBackgroundWork();
             model->last().snapshot("**Key Points**\nFirst.");
             test::finishAnimations(card.get());
         }},
    };
    for (const auto& [scene, enter] : scenes) {
        SCOPED_TRACE(scene);
        manager->reset();
        settle();
        enter();
        const auto nodes = accessibleTree(card.get());
        ASSERT_FALSE(nodes.empty());
        for (const AccessibleNode& node : nodes) {
            EXPECT_FALSE(hasPrivateUseCharacter(node.name)) << node.object->metaObject()->className();
            EXPECT_FALSE(hasPrivateUseCharacter(node.description)) << node.object->metaObject()->className();
            const bool isControl = node.role == QAccessible::Button || node.role == QAccessible::EditableText;
            if (isControl && node.showing) {
                EXPECT_FALSE(node.name.isEmpty()) << node.object->metaObject()->className() << " has no name";
            }
        }
    }
}

TEST_F(AccessibleNamesTest, TheActionCardsControlsAreNamedAsTheyRead)
{
    dropMixedFiles();
    manager->setActiveTab(FileCategory::folder);
    ActionView* view = showActionCard();
    unfoldEveryRow();
    manager->setInlineError("No supported files found");

    std::vector<QString> expected = {"Close", "1 Images", "1 Documents", "1 Folders", "No supported files found",
                                     "Password", "Confirm password", "Compress"};
    for (QWidget* row : view->rows()) {
        auto* header = qobject_cast<ActionRow*>(row) ? qobject_cast<ActionRow*>(row) : row->findChild<ActionRow*>();
        ASSERT_NE(header, nullptr);
        expected.push_back(header->title());
    }
    std::vector<QString> named;
    for (const AccessibleNode& node : accessibleTree(card.get()))
        if ((node.role == QAccessible::Button || node.role == QAccessible::EditableText) && node.showing)
            named.push_back(node.name);
    for (const QString& name : expected)
        EXPECT_NE(std::find(named.begin(), named.end(), name), named.end()) << name.toStdString() << " is not named";
    EXPECT_EQ(named.size(), expected.size());
}
