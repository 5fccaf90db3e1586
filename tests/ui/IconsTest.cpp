#include "Views/Icons.h"
#include "Models/DropPayload.h"
#include "Models/FileCategory.h"
#include "State/ActionCatalogue.h"

#include <QRawFont>
#include <gtest/gtest.h>

using namespace vantory;

namespace {

// Every symbol name the rows and headers can be handed by the core.
std::vector<std::string> namesFromTheCore()
{
    std::vector<std::string> names;
    for (FileCategory category : allFileCategories)
        names.push_back(iconName(category));
    std::vector<FileAction> actions;
    for (bool batch : {false, true}) {
        for (const auto& action : catalogue::imageActions(batch))
            actions.push_back(action);
        for (bool summaries : {false, true})
            for (const auto& action : catalogue::pdfActions(batch, summaries))
                actions.push_back(action);
    }
    for (const auto& list :
         {catalogue::videoActions(), catalogue::audioActions(), catalogue::folderActions(), catalogue::archiveActions(),
          catalogue::dataActions("json"), catalogue::dataActions("csv"), catalogue::dataActions("txt")})
        actions.insert(actions.end(), list.begin(), list.end());
    for (const auto& action :
         {catalogue::unlockPDF(), catalogue::unlockAndExtractZIP(), catalogue::unlockOneAtATime(), catalogue::base64Decode(),
          catalogue::unsupportedFileType("docx"), catalogue::unsupportedFileTypes(), catalogue::compressToZIP()})
        actions.push_back(action);
    for (const auto& action : actions)
        names.push_back(action.icon);
    return names;
}

// The symbols the cards and rows draw by name.
const std::vector<std::string> namesFromTheViews = {"arrow.down.circle.fill",
                                                    "chevron.right",
                                                    "chevron.up",
                                                    "chevron.down",
                                                    "checkmark",
                                                    "checkmark.circle",
                                                    "xmark",
                                                    "plus.circle.fill",
                                                    "exclamationmark.triangle.fill",
                                                    "doc.fill"};

QRawFont rawIconFont()
{
    return QRawFont::fromFont(Icons::font(24));
}

} // namespace

TEST(Icons, EveryNameInUseIsInTheTable)
{
    std::vector<std::string> names = namesFromTheCore();
    names.insert(names.end(), namesFromTheViews.begin(), namesFromTheViews.end());
    for (const auto& name : names)
        EXPECT_TRUE(Icons::knows(name)) << name;
}

TEST(Icons, EveryKnownNameHasAGlyphInTheFont)
{
    const QRawFont font = rawIconFont();
    ASSERT_TRUE(font.isValid());
    ASSERT_EQ(font.familyName(), QStringLiteral("Material Icons"));
    for (const auto& name : Icons::knownNames()) {
        const QString glyph = Icons::glyph(name);
        ASSERT_EQ(glyph.toUcs4().size(), 1) << name;
        EXPECT_TRUE(font.supportsCharacter(glyph.toUcs4().front())) << name;
    }
}

TEST(Icons, AnUnknownNameGetsAFallbackTheFontCanDraw)
{
    EXPECT_FALSE(Icons::knows("no.such.symbol"));
    const QString fallback = Icons::glyph("no.such.symbol");
    EXPECT_TRUE(rawIconFont().supportsCharacter(fallback.toUcs4().front()));
    EXPECT_NE(fallback, Icons::glyph("photo.fill"));
}
