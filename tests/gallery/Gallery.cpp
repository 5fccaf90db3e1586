// Shows every card the panel can show and saves a picture of each, once its animations
// have settled, as <folder>/<scene>.png. The panel's content is driven through a real
// state manager whose router and clock are fakes, so nothing runs or times out on its own.

#include "Platform/ExtractiveSummary.h"
#include "State/WidgetStateManager.h"
#include "Views/ActionCard/LockPDFButton.h"
#include "Views/Components/ActionRow.h"
#include "Views/Components/ConvertMenuButton.h"
#include "Views/ContentView.h"
#include "Views/PanelGeometry.h"
#include "Views/States/CompletedView.h"
#include "Views/States/ConvertingView.h"
#include "Views/States/PartialSuccessView.h"
#include "support/EventLoop.h"
#include "support/FakedStateManager.h"
#include "support/PdfFixtures.h"
#include "support/TempDir.h"

#include <QAbstractAnimation>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace vantory;

namespace {

constexpr int panelSide = PanelGeometry::panelSize;
constexpr int settleTimeoutMs = 5000;
// A plain desktop behind the translucent panel, so the shadows show in the pictures.
const QColor desktop = QColor::fromRgbF(0.78f, 0.80f, 0.82f);

const std::string longSummary = "7 Processed, 5 Skipped (The file could not be read because it is damaged or uses a "
                                "feature that is not supported, such as /home/someone/Pictures/holiday-2024/"
                                "IMG_20240712_183455_with_a_very_long_name.heic)";

// A widget the size of the panel, see-through where nothing is drawn.
std::unique_ptr<QWidget> makeStage()
{
    auto stage = std::make_unique<QWidget>();
    stage->setAttribute(Qt::WA_TranslucentBackground);
    stage->setFixedSize(panelSide, panelSide);
    return stage;
}

bool animationsSettled(const QWidget& stage)
{
    for (const auto* animation : stage.findChildren<QAbstractAnimation*>())
        if (animation->state() == QAbstractAnimation::Running && animation->loopCount() != -1)
            return false;
    return true;
}

class Gallery {
public:
    explicit Gallery(QString folder) : folder_(std::move(folder)) { }

    // Waits for the stage's animations (the endless ones aside) and saves what it shows.
    void snap(QWidget& stage, const QString& name)
    {
        if (!test::spinUntil([&stage] { return animationsSettled(stage); }, settleTimeoutMs)) {
            std::fprintf(stderr, "%s: the animations did not settle\n", qPrintable(name));
            ++failures_;
            return;
        }
        QImage picture(stage.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(desktop);
        {
            QPainter painter(&picture);
            painter.drawPixmap(0, 0, stage.grab());
        }
        const QString path = QDir(folder_).filePath(name + ".png");
        if (!picture.save(path)) {
            std::fprintf(stderr, "%s: could not be saved\n", qPrintable(path));
            ++failures_;
            return;
        }
        ++saved_;
    }

    int finish() const
    {
        std::printf("%d saved, %d failed: the pictures are in %s\n", saved_, failures_, qPrintable(folder_));
        return failures_ == 0 ? 0 : 1;
    }

private:
    QString folder_;
    int saved_ = 0;
    int failures_ = 0;
};

// Unfolds the convert menus and password rows of the card on `stage`, as clicks would.
void unfoldEveryRow(QWidget& stage)
{
    for (auto* menu : stage.findChildren<ConvertMenuButton*>())
        menu->row()->click();
    for (auto* lock : stage.findChildren<LockPDFButton*>())
        lock->header()->click();
}

// Gives the keyboard focus, as Tab would, to the control on `stage` that assistive tools
// know by `name`.
void focusOn(QWidget& stage, const QString& name)
{
    stage.activateWindow();
    test::spinUntil([&stage] { return stage.isActiveWindow(); }, settleTimeoutMs);
    for (QWidget* control : stage.findChildren<QWidget*>()) {
        if ((control->focusPolicy() & Qt::TabFocus) && control->isVisible()
            && QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name) == name) {
            control->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    std::fprintf(stderr, "no control named %s to focus\n", qPrintable(name));
}

// The action card for drops of files made here, in each of its forms.
void snapTheActionCard(Gallery& gallery, WidgetStateManager& manager, test::ManualScheduler& clock, test::FakeRouter& router,
                       QWidget& stage)
{
    test::TempDir dir;
    const auto settle = [&clock] {
        test::finishBackgroundWork();
        clock.advance(std::chrono::milliseconds(600));
        test::finishBackgroundWork();
    };
    const auto drop = [&](const std::vector<std::filesystem::path>& files) {
        manager.reset();
        // Past the notices of the last drop.
        clock.advance(std::chrono::seconds(10));
        settle();
        manager.handleDrop(files);
        settle();
    };
    const auto photo = dir.write("photo.png", "not really a picture");
    const auto second = dir.write("second.png", "not really a picture");
    const auto report = dir.write("report.pdf", "not really a document");
    const auto data = dir.write("data.json", "{\"broken\": ");
    dir.write("folder/inside.txt", "text");
    const auto locked = test::writePdf(dir / "locked.pdf", test::PdfPasswords{"open", "owner"});

    const std::pair<const char*, std::function<void()>> scenes[] = {
        {"actions-one-group", [&] { drop({photo}); }},
        {"actions-tabs",
         [&] {
             drop({photo, second, report});
         }},
        {"actions-append-zone", [&] { manager.setIsAppendDragOver(true); }},
        {"actions-notice",
         [&] {
             manager.setIsAppendDragOver(false);
             manager.appendFiles({photo});
             settle();
         }},
        {"actions-banner",
         [&] {
             drop({photo});
             manager.setInlineError("There is not enough free space on the disk holding the output folder");
         }},
        {"actions-row-error",
         [&] {
             drop({data});
             manager.startConversion("format_json");
             test::finishBackgroundWork();
             router.last().onFinished({0, 1, "The data couldn't be read because it isn't in the correct format."});
             test::finishBackgroundWork();
         }},
        {"actions-folder", [&] { drop({dir / "folder"}); }},
        {"focus-row",
         [&] {
             drop({photo});
             focusOn(stage, "Compress Image");
         }},
        {"focus-active-tab",
         [&] {
             drop({photo, second, report});
             focusOn(stage, "2 Images");
         }},
        {"focus-pill",
         [&] {
             drop({photo});
             unfoldEveryRow(stage);
             focusOn(stage, "WebP");
         }},
        {"focus-close-and-banner",
         [&] {
             focusOn(stage, "Close");
             manager.setInlineError("There is not enough free space on the disk holding the output folder");
         }},
        {"focus-password",
         [&] {
             drop({dir / "folder"});
             unfoldEveryRow(stage);
             focusOn(stage, "Password");
         }},
        {"actions-encrypted-pdf", [&] { drop({locked}); }},
        {"actions-protect-open",
         [&] {
             drop({dir / "folder"});
             unfoldEveryRow(stage);
         }},
        {"actions-tallest-bottom",
         [&] {
             manager.setAnchorEdge(AnchorEdge::bottom);
             drop({report});
             unfoldEveryRow(stage);
             manager.setInlineError("There is not enough free space on the disk holding the output folder");
         }},
    };
    for (const auto& [name, enter] : scenes) {
        enter();
        gallery.snap(stage, QLatin1String(name));
    }
    manager.reset();
    manager.setAnchorEdge(AnchorEdge::right);
    settle();
}

// A summary as the model streams it, then the donation card that follows a completed run.
void snapTheSummaryAndDonation(Gallery& gallery, WidgetStateManager& manager, test::ManualScheduler& clock,
                               test::ScriptedLanguageModel& model, QWidget& stage)
{
    test::TempDir dir;
    const auto settle = [&clock] {
        test::finishBackgroundWork();
        clock.advance(std::chrono::milliseconds(600));
        test::finishBackgroundWork();
    };
    const std::string licence = test::readFile("/usr/share/common-licenses/GPL-3");
    std::vector<std::string> written;
    std::string whole;
    for (const auto& piece : ExtractiveSummary::write(licence.substr(0, 14'000)))
        written.push_back(whole += piece);
    const auto summarise = [&](const std::string& text) {
        manager.reset();
        clock.advance(std::chrono::seconds(10));
        settle();
        manager.handleDrop({dir.write("licence.txt", text)});
        settle();
        manager.startConversion("summarize");
        test::finishBackgroundWork();
    };

    const std::pair<const char*, std::function<void()>> scenes[] = {
        {"summarizing-thinking", [&] { summarise("A short text."); }},
        {"focus-summarizing-cancel", [&] { focusOn(stage, "Cancel"); }},
        {"summarizing-first-sentences", [&] { model.last().snapshot(written.at(2)); }},
        {"summarizing-whole-with-note",
         [&] {
             summarise(licence);
             model.last().snapshot(written.back());
             model.last().end();
         }},
        {"focus-summary-copy", [&] { focusOn(stage, "Copy to Clipboard"); }},
        {"summarizing-incomplete",
         [&] {
             summarise("A short text.");
             model.last().snapshot(written.at(1));
             model.last().end("The model stopped");
         }},
        {"donation",
         [&] {
             manager.reset();
             manager.setState(WidgetPhase::actions());
             manager.setShowDonation(true);
         }},
        {"focus-donation-tip", [&] { focusOn(stage, "Leave a Tip"); }},
        {"focus-donation-later", [&] { focusOn(stage, "Maybe Later"); }},
    };
    for (const auto& [name, enter] : scenes) {
        enter();
        gallery.snap(stage, QLatin1String(name));
    }
    manager.reset();
    settle();
}

// The panel's content in every phase, as the state manager sets it.
void snapThePanel(Gallery& gallery)
{
    test::FakedStateManager faked;
    WidgetStateManager& manager = *faked.manager;
    test::ManualScheduler& clock = faked.clock;

    auto stage = makeStage();
    auto* content = new ContentView(manager, clock, stage.get());
    content->setGeometry(stage->rect());
    stage->show();

    const std::pair<AnchorEdge, const char*> edges[] = {
        {AnchorEdge::left, "left"}, {AnchorEdge::right, "right"}, {AnchorEdge::top, "top"}, {AnchorEdge::bottom, "bottom"}};
    for (const auto& [edge, name] : edges) {
        manager.setAnchorEdge(edge);
        gallery.snap(*stage, QStringLiteral("idle-%1").arg(QLatin1String(name)));
    }

    manager.setAnchorEdge(AnchorEdge::right);
    const std::pair<const char*, std::function<void()>> scenes[] = {
        {"hovering", [&] { manager.setState(WidgetPhase::hovering()); }},
        {"hovering-error",
         [&] {
             manager.setState(WidgetPhase::hovering());
             manager.setInlineError("No supported files found");
         }},
        {"processing",
         [&] {
             manager.setInlineError(std::nullopt);
             manager.setState(WidgetPhase::processing());
         }},
        {"converting-0-of-1", [&] { manager.setState(WidgetPhase::converting(0, 1)); }},
        {"converting-1-of-3", [&] { manager.setState(WidgetPhase::converting(1, 3)); }},
        {"focus-converting-cancel", [&] { focusOn(*stage, "Cancel"); }},
        {"completed", [&] { manager.setState(WidgetPhase::completed("/tmp/Vantory/output.png")); }},
        {"partial-success", [&] { manager.setState(WidgetPhase::partialSuccess("/tmp/Vantory", longSummary)); }},
    };
    for (const auto& [name, enter] : scenes) {
        enter();
        gallery.snap(*stage, QLatin1String(name));
    }
    manager.setState(WidgetPhase::idle());
    snapTheActionCard(gallery, manager, clock, *faked.router, *stage);
    snapTheSummaryAndDonation(gallery, manager, clock, *faked.model, *stage);
}

// The progress and result cards on their own, centred on the panel, in the states the
// panel reaches only briefly.
void snapTheCards(Gallery& gallery)
{
    const auto snapCard = [&gallery](const QString& name, const std::function<QWidget*(QWidget*)>& make,
                                     const std::function<void(QWidget*)>& then = {}) {
        auto stage = makeStage();
        QWidget* card = make(stage.get());
        card->move((panelSide - card->width()) / 2, (panelSide - card->height()) / 2);
        stage->show();
        if (then)
            then(card);
        gallery.snap(*stage, name);
    };
    snapCard("card-converting-0-of-1", [](QWidget* stage) { return new ConvertingView(0, 1, {}, stage); });
    snapCard("card-converting-1-of-3", [](QWidget* stage) { return new ConvertingView(1, 3, {}, stage); });
    snapCard(
        "card-converting-2-of-3-after-1", [](QWidget* stage) { return new ConvertingView(1, 3, {}, stage); },
        [](QWidget* card) { static_cast<ConvertingView*>(card)->setProgress(2, 3); });
    snapCard("card-converting-29-of-50", [](QWidget* stage) { return new ConvertingView(29, 50, {}, stage); });
    snapCard("card-completed", [](QWidget* stage) { return new CompletedView(stage); });
    snapCard("card-partial-success-short", [](QWidget* stage) {
        return new PartialSuccessView(QStringLiteral("3 Processed, 1 Skipped (Unsupported format)"), stage);
    });
    snapCard("card-partial-success-long",
             [](QWidget* stage) { return new PartialSuccessView(QString::fromStdString(longSummary), stage); });
    snapCard("card-partial-success-far-too-long",
             [](QWidget* stage) { return new PartialSuccessView(QStringLiteral("word ").repeated(400), stage); });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
        return 1;
    }
    Gallery gallery(folder);
    snapThePanel(gallery);
    snapTheCards(gallery);
    test::finishBackgroundWork();
    return gallery.finish();
}
