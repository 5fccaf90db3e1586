#include "Converters/Image/ImageProcessor.h"
#include "Converters/Pdf/PDFProcessor.h"
#include "support/InAndOutFolders.h"
#include "support/PdfFixtures.h"

#include <gtest/gtest.h>

#include <array>

using namespace vantory;
using namespace vantory::test;
namespace fs = std::filesystem;
using vips::VImage;

namespace {

enum Quarter { topLeft, topRight, bottomLeft, bottomRight };

const std::array<std::vector<double>, 4> colours{{{230, 20, 20}, {20, 200, 20}, {20, 20, 230}, {235, 235, 30}}};

// Stored 40 x 20: red, green / blue, yellow.
VImage stored()
{
    const VImage xy = VImage::xyz(40, 20);
    const VImage right = xy[0] >= 20;
    const VImage bottom = xy[1] >= 10;
    const auto solid = [](const std::vector<double>& colour) { return solidImage(40, 20, colour); };
    return bottom.ifthenelse(right.ifthenelse(solid(colours[bottomRight]), solid(colours[bottomLeft])),
                             right.ifthenelse(solid(colours[topRight]), solid(colours[topLeft])));
}

struct Orientation {
    int tag;
    bool turned; // shown 20 x 40
    std::array<Quarter, 4> shown; // the stored quarter seen top left, top right, bottom left, bottom right
};

// What each EXIF orientation shows of the stored quarters.
const std::vector<Orientation> orientations = {
    {1, false, {topLeft, topRight, bottomLeft, bottomRight}},
    {2, false, {topRight, topLeft, bottomRight, bottomLeft}}, // mirrored left to right
    {3, false, {bottomRight, bottomLeft, topRight, topLeft}}, // half a turn
    {4, false, {bottomLeft, bottomRight, topLeft, topRight}}, // mirrored top to bottom
    {5, true, {topLeft, bottomLeft, topRight, bottomRight}}, // mirrored along the main diagonal
    {6, true, {bottomLeft, topLeft, bottomRight, topRight}}, // a quarter turn clockwise
    {7, true, {bottomRight, topRight, bottomLeft, topLeft}}, // mirrored along the other diagonal
    {8, true, {topRight, bottomRight, topLeft, bottomLeft}}, // a quarter turn anticlockwise
};

void PrintTo(const Orientation& orientation, std::ostream* os)
{
    *os << "orientation " << orientation.tag;
}

void expectShown(const fs::path& picture, const Orientation& orientation, double scale)
{
    const int width = static_cast<int>((orientation.turned ? 20 : 40) * scale);
    const int height = static_cast<int>((orientation.turned ? 40 : 20) * scale);
    ASSERT_EQ(imageSize(picture), (std::pair{width, height}));
    const std::array<std::pair<int, int>, 4> centres{
        {{width / 4, height / 4}, {3 * width / 4, height / 4}, {width / 4, 3 * height / 4}, {3 * width / 4, 3 * height / 4}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto pixel = pixelAt(picture, centres[i].first, centres[i].second);
        const auto& expected = colours[orientation.shown[i]];
        for (std::size_t band = 0; band < 3; ++band)
            EXPECT_NEAR(pixel[band], expected[band], 40) << "quarter " << i << " band " << band;
    }
}

class Orientations : public InAndOutFolders, public ::testing::WithParamInterface<Orientation> {
protected:
    fs::path tagged(const std::string& name) const
    {
        VImage picture = stored().copy();
        picture.set(VIPS_META_ORIENTATION, GetParam().tag);
        return image(name, picture);
    }
};

} // namespace

TEST_P(Orientations, PicturesComeOutUpright)
{
    for (const std::string name : {"photo.jpg", "scan.tif"}) {
        SCOPED_TRACE(name);
        const fs::path folder = out() / name;
        fs::create_directories(folder);
        ImageProcessor::convertFormat(tagged(name), "png", folder);
        expectShown(onlyEntry(folder), GetParam(), 1);
    }
}

TEST_P(Orientations, PdfPagesShowThePictureUpright)
{
    // A JPEG goes in as it is, a TIFF decoded: both are placed by the page's drawing matrix.
    for (const std::string name : {"photo.jpg", "scan.tif"}) {
        SCOPED_TRACE(name);
        const fs::path documents = out() / name;
        const fs::path pages = dir_ / "pages" / name;
        fs::create_directories(documents);
        fs::create_directories(pages);
        PDFProcessor::imageToPDF(tagged(name), documents);
        PDFProcessor::pdfToImages(onlyEntry(documents), pages);
        expectShown(onlyEntry(pages), GetParam(), 2); // pages are drawn at twice their size
    }
}

INSTANTIATE_TEST_SUITE_P(Exif, Orientations, ::testing::ValuesIn(orientations),
                         [](const auto& info) { return "Tag" + std::to_string(info.param.tag); });
