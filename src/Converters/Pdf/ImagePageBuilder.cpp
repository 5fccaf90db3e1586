#include "Converters/Pdf/ImagePageBuilder.h"

#include "Converters/ConversionCancelled.h"
#include "Converters/ConversionError.h"
#include "Converters/Pdf/PdfImageSource.h"

#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <vips/vips8>

#include <array>
#include <charconv>
#include <fstream>

namespace vantory {

namespace {

using Failure = std::shared_ptr<std::optional<std::filesystem::path>>;

void noteFailure(const Failure& failure, const std::filesystem::path& url)
{
    if (!*failure)
        *failure = url;
}

// Bands `first` .. `first + count - 1` of every pixel, decoded from the file as the
// stream is written: the colours and the soft mask are each decoded on their own, so no
// image is ever held whole.
class BandsProvider : public QPDFObjectHandle::StreamDataProvider {
public:
    BandsProvider(std::filesystem::path url, PdfImageSource::Layout layout, int first, int count, Failure failure,
                  std::stop_token stop)
        : url_(std::move(url)),
          layout_(std::move(layout)),
          first_(first),
          count_(count),
          failure_(std::move(failure)),
          stop_(std::move(stop))
    {
    }

    void provideStreamData(QPDFObjGen const&, Pipeline* pipeline) override
    {
        throwIfStopped(stop_);
        try {
            PdfImageSource::decodeBands(url_, layout_, first_, count_, [&](const std::uint8_t* bytes, std::size_t size) {
                pipeline->write(bytes, size);
            });
        } catch (const std::exception&) {
            noteFailure(failure_, url_);
            throw;
        }
        pipeline->finish();
    }

private:
    std::filesystem::path url_;
    PdfImageSource::Layout layout_;
    int first_;
    int count_;
    Failure failure_;
    std::stop_token stop_;
};

// A file's bytes, unchanged: a JPEG is already a DCTDecode stream.
class FileBytesProvider : public QPDFObjectHandle::StreamDataProvider {
public:
    FileBytesProvider(std::filesystem::path url, Failure failure, std::stop_token stop)
        : url_(std::move(url)),
          failure_(std::move(failure)),
          stop_(std::move(stop))
    {
    }

    void provideStreamData(QPDFObjGen const&, Pipeline* pipeline) override
    {
        throwIfStopped(stop_);
        std::ifstream in(url_, std::ios::binary);
        std::array<char, 256 * 1024> buffer;
        while (in) {
            in.read(buffer.data(), buffer.size());
            pipeline->write(reinterpret_cast<unsigned char*>(buffer.data()), static_cast<size_t>(in.gcount()));
        }
        if (in.bad() || !in.eof()) {
            noteFailure(failure_, url_);
            throw std::runtime_error("cannot read " + url_.string());
        }
        pipeline->finish();
    }

private:
    std::filesystem::path url_;
    Failure failure_;
    std::stop_token stop_;
};

std::string number(double value)
{
    std::array<char, 64> text;
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, 4).ptr;
    return std::string(text.data(), end);
}

struct PageSize {
    double width;
    double height;
};

PageSize pageSize(const PdfImageSource::Layout& layout)
{
    const bool transposed = layout.orientation >= 5;
    return transposed ? PageSize{layout.heightPoints, layout.widthPoints} : PageSize{layout.widthPoints, layout.heightPoints};
}

// The matrix that draws the image's unit square upright over the whole page, for
// each EXIF orientation (mirrors and quarter turns of the stored pixels).
std::array<double, 6> placement(int orientation, PageSize page)
{
    const double w = page.width;
    const double h = page.height;
    switch (orientation) {
    case 2: return {-w, 0, 0, h, w, 0};
    case 3: return {-w, 0, 0, -h, w, h};
    case 4: return {w, 0, 0, -h, 0, h};
    case 5: return {0, -h, -w, 0, w, h};
    case 6: return {0, -h, w, 0, 0, h};
    case 7: return {0, h, w, 0, 0, 0};
    case 8: return {0, h, -w, 0, w, 0};
    default: return {w, 0, 0, h, 0, 0};
    }
}

std::string drawImageContent(const std::array<double, 6>& matrix)
{
    std::string content = "q";
    for (double value : matrix)
        content += " " + number(value);
    return content + " cm /Im0 Do Q\n";
}

QPDFObjectHandle deviceColourSpace(int colourBands)
{
    return QPDFObjectHandle::newName(colourBands == 1 ? "/DeviceGray" : "/DeviceRGB");
}

QPDFObjectHandle colourSpace(QPDF& pdf, const PdfImageSource::Layout& layout)
{
    if (layout.iccProfile.empty())
        return deviceColourSpace(layout.colourBands);
    auto profile = QPDFObjectHandle::newStream(&pdf, layout.iccProfile);
    profile.getDict().replaceKey("/N", QPDFObjectHandle::newInteger(layout.colourBands));
    profile.getDict().replaceKey("/Alternate", deviceColourSpace(layout.colourBands));
    auto space = QPDFObjectHandle::newArray();
    space.appendItem(QPDFObjectHandle::newName("/ICCBased"));
    space.appendItem(profile);
    return space;
}

QPDFObjectHandle imageStream(QPDF& pdf, const PdfImageSource::Layout& layout, QPDFObjectHandle space)
{
    auto stream = QPDFObjectHandle::newStream(&pdf);
    auto dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(layout.width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(layout.height));
    dict.replaceKey("/ColorSpace", space);
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    stream.replaceDict(dict);
    return stream;
}

QPDFObjectHandle imageXObject(QPDF& pdf, const std::filesystem::path& url, const PdfImageSource::Layout& layout,
                              const Failure& failure, const std::stop_token& stop)
{
    auto image = imageStream(pdf, layout, colourSpace(pdf, layout));
    if (layout.embedFileAsJpeg) {
        image.replaceStreamData(std::make_shared<FileBytesProvider>(url, failure, stop), QPDFObjectHandle::newName("/DCTDecode"),
                                QPDFObjectHandle::newNull());
        return image;
    }
    image.replaceStreamData(std::make_shared<BandsProvider>(url, layout, 0, layout.colourBands, failure, stop),
                            QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    if (layout.hasAlpha) {
        PdfImageSource::Layout maskLayout = layout;
        maskLayout.colourBands = 1;
        auto mask = imageStream(pdf, maskLayout, deviceColourSpace(1));
        mask.replaceStreamData(std::make_shared<BandsProvider>(url, layout, layout.colourBands, 1, failure, stop),
                               QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
        image.getDict().replaceKey("/SMask", mask);
    }
    return image;
}

QPDFObjectHandle mediaBox(PageSize size)
{
    return QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, size.width, size.height));
}

} // namespace

ImagePageBuilder::ImagePageBuilder(QPDF& pdf, std::stop_token stop)
    : pdf_(pdf),
      stop_(std::move(stop)),
      failedImage_(std::make_shared<std::optional<std::filesystem::path>>())
{
}

void ImagePageBuilder::append(const std::filesystem::path& url)
{
    PdfImageSource::Layout layout;
    try {
        layout = PdfImageSource::describe(url);
    } catch (const vips::VError&) {
        throw ConversionError::loadFailed(url);
    }
    const PageSize size = pageSize(layout);
    auto xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im0", imageXObject(pdf_, url, layout, failedImage_, stop_));
    auto resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", xobjects);

    auto page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", mediaBox(size));
    page.replaceKey("/Resources", resources);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf_, drawImageContent(placement(layout.orientation, size))));
    QPDFPageDocumentHelper(pdf_).addPage(QPDFPageObjectHelper(pdf_.makeIndirectObject(page)), false);
}

} // namespace vantory
