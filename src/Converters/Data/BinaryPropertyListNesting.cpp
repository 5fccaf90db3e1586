#include "Converters/Data/BinaryPropertyListNesting.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vantory::data {

namespace {

constexpr std::size_t headerSize = 8;
constexpr std::size_t trailerSize = 32;

// Big-endian unsigned integer of `width` (1 to 8) bytes at `at`; the caller checks bounds.
uint64_t bigEndian(std::string_view bytes, std::size_t at, std::size_t width)
{
    uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The references a container holds, read front to back; a dictionary's keys come first.
struct References {
    std::size_t next;
    uint64_t remaining;
    uint64_t keysRemaining = 0;
};

enum class ObjectKind { leaf, container, malformed };

class BinaryPropertyList {
public:
    explicit BinaryPropertyList(std::string_view bytes) : bytes_(bytes) { }

    bool readTrailer()
    {
        if (bytes_.size() < headerSize + trailerSize)
            return false;
        objectsEnd_ = bytes_.size() - trailerSize;
        offsetSize_ = static_cast<unsigned char>(bytes_[objectsEnd_ + 6]);
        referenceSize_ = static_cast<unsigned char>(bytes_[objectsEnd_ + 7]);
        objectCount_ = bigEndian(bytes_, objectsEnd_ + 8, 8);
        topObject_ = bigEndian(bytes_, objectsEnd_ + 16, 8);
        const uint64_t tableOffset = bigEndian(bytes_, objectsEnd_ + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || referenceSize_ < 1 || referenceSize_ > 8)
            return false;
        if (objectCount_ == 0 || topObject_ >= objectCount_)
            return false;
        if (tableOffset < headerSize || tableOffset > objectsEnd_)
            return false;
        if (objectCount_ > (objectsEnd_ - tableOffset) / offsetSize_)
            return false;
        offsetTable_ = static_cast<std::size_t>(tableOffset);
        return true;
    }

    uint64_t topObject() const { return topObject_; }

    ObjectKind object(uint64_t index, References& references) const
    {
        if (index >= objectCount_)
            return ObjectKind::malformed;
        const uint64_t offset = bigEndian(bytes_, offsetTable_ + index * offsetSize_, offsetSize_);
        if (offset >= objectsEnd_)
            return ObjectKind::malformed;
        const auto marker = static_cast<unsigned char>(bytes_[offset]);
        const unsigned type = marker >> 4;
        const bool isArrayOrSet = type == 0xA || type == 0xC;
        const bool isDictionary = type == 0xD;
        if (!isArrayOrSet && !isDictionary)
            return ObjectKind::leaf;
        std::size_t at = static_cast<std::size_t>(offset) + 1;
        const std::optional<uint64_t> count = elementCount(marker & 0xF, at);
        if (!count)
            return ObjectKind::malformed;
        const uint64_t perElement = isDictionary ? 2 : 1; // keys, then values
        if (*count > (objectsEnd_ - at) / referenceSize_ / perElement)
            return ObjectKind::malformed;
        references = {at, *count * perElement, isDictionary ? *count : 0};
        return ObjectKind::container;
    }

    // Whether the object is a string the library can take as a dictionary key. It asserts,
    // and so ends the whole process, on a key that is no string or a UTF-16 key holding
    // U+0000.
    bool isUsableKey(uint64_t index) const
    {
        if (index >= objectCount_)
            return false;
        const uint64_t offset = bigEndian(bytes_, offsetTable_ + index * offsetSize_, offsetSize_);
        if (offset >= objectsEnd_)
            return false;
        const auto marker = static_cast<unsigned char>(bytes_[offset]);
        const unsigned type = marker >> 4;
        if (type == 0x5)
            return true;
        if (type != 0x6)
            return false;
        std::size_t at = static_cast<std::size_t>(offset) + 1;
        const std::optional<uint64_t> units = elementCount(marker & 0xF, at);
        if (!units || *units > (objectsEnd_ - at) / 2)
            return false;
        for (uint64_t unit = 0; unit < *units; ++unit) {
            if (bigEndian(bytes_, at + unit * 2, 2) == 0)
                return false;
        }
        return true;
    }

    uint64_t nextReference(References& references) const
    {
        const uint64_t index = bigEndian(bytes_, references.next, referenceSize_);
        references.next += referenceSize_;
        --references.remaining;
        if (references.keysRemaining > 0)
            --references.keysRemaining;
        return index;
    }

private:
    // A count of 15 or more follows the marker as an integer object; `at` moves past it.
    std::optional<uint64_t> elementCount(unsigned nibble, std::size_t& at) const
    {
        if (nibble != 0xF)
            return nibble;
        if (at >= objectsEnd_)
            return std::nullopt;
        const auto marker = static_cast<unsigned char>(bytes_[at]);
        if (marker >> 4 != 0x1 || (marker & 0xF) > 3)
            return std::nullopt;
        const std::size_t width = std::size_t{1} << (marker & 0xF);
        if (width > objectsEnd_ - at - 1)
            return std::nullopt;
        const uint64_t count = bigEndian(bytes_, at + 1, width);
        at += 1 + width;
        return count;
    }

    std::string_view bytes_;
    std::size_t objectsEnd_ = 0;
    std::size_t offsetTable_ = 0;
    unsigned offsetSize_ = 0;
    unsigned referenceSize_ = 0;
    uint64_t objectCount_ = 0;
    uint64_t topObject_ = 0;
};

} // namespace

bool binaryPropertyListNestsWithin(std::string_view bytes, int maxDepth)
{
    BinaryPropertyList list(bytes);
    if (!list.readTrailer())
        return false;
    References top{};
    const ObjectKind topKind = list.object(list.topObject(), top);
    if (topKind != ObjectKind::container)
        return topKind == ObjectKind::leaf;
    if (maxDepth < 1)
        return false;
    // Each use of an object is walked, as the library copies it for each use. In a file
    // without shared containers that is at most one visit per reference, and references
    // take at least a byte each.
    const uint64_t maxVisits = bytes.size();
    uint64_t visits = 1;
    std::vector<References> path{top};
    while (!path.empty()) {
        if (path.back().remaining == 0) {
            path.pop_back();
            continue;
        }
        const bool isKey = path.back().keysRemaining > 0;
        const uint64_t child = list.nextReference(path.back());
        if (++visits > maxVisits)
            return false;
        if (isKey && !list.isUsableKey(child))
            return false;
        References references{};
        switch (list.object(child, references)) {
        case ObjectKind::leaf: break;
        case ObjectKind::malformed: return false;
        case ObjectKind::container:
            if (path.size() + 1 > static_cast<std::size_t>(maxDepth))
                return false;
            path.push_back(references);
            break;
        }
    }
    return true;
}

} // namespace vantory::data
