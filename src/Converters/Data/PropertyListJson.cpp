#include "Converters/Data/PropertyListJson.h"

#include "Converters/ConversionError.h"
#include "Converters/Data/BinaryPropertyListNesting.h"
#include "Converters/Data/JsonErrors.h"
#include "Converters/Data/XmlPropertyListNesting.h"
#include "Platform/Utf8Text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace vantory::data {

namespace {

[[noreturn]] void notConvertible()
{
    throw ConversionError::invalidDataStructure("XML structure not supported for JSON conversion");
}

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

std::string utf8(const char* bytes, std::size_t length)
{
    const std::string_view text(bytes, length);
    if (!isValidUTF8(text))
        notConvertible();
    return std::string(text);
}

// The library keeps every integer as 64 unsigned bits; only its XML writer tells a
// negative value from a large unsigned one.
nlohmann::json integer(plist_t node)
{
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    if (value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return static_cast<int64_t>(value);
    const PlistPtr copy(plist_copy(node));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(copy.get()), &xml, &length);
    const std::unique_ptr<char, MallocDeleter> owned(xml);
    const bool negative = xml && std::string_view(xml, length).find("<integer>-") != std::string_view::npos;
    if (negative)
        return static_cast<int64_t>(value);
    return value;
}

nlohmann::json convert(plist_t node, int depth);

nlohmann::json array(plist_t node, int depth)
{
    nlohmann::json result = nlohmann::json::array();
    const uint32_t size = plist_array_get_size(node);
    for (uint32_t i = 0; i < size; ++i)
        result.push_back(convert(plist_array_get_item(node, i), depth + 1));
    return result;
}

nlohmann::json dictionary(plist_t node, int depth)
{
    nlohmann::json result = nlohmann::json::object();
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    const std::unique_ptr<void, MallocDeleter> ownedIterator(iterator);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        const std::unique_ptr<char, MallocDeleter> ownedKey(key);
        if (!value)
            break;
        if (!key)
            notConvertible();
        result[utf8(key, std::char_traits<char>::length(key))] = convert(value, depth + 1);
    }
    return result;
}

nlohmann::json convert(plist_t node, int depth)
{
    if (depth > maxJsonDepth)
        notConvertible();
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    case PLIST_UINT: return integer(node);
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        if (!std::isfinite(value))
            notConvertible();
        return value;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return utf8(text ? text : "", text ? static_cast<std::size_t>(length) : 0);
    }
    case PLIST_ARRAY: return array(node, depth);
    case PLIST_DICT: return dictionary(node, depth);
    default: notConvertible(); // dates, data, UIDs
    }
}

// The library reads a list as binary exactly when it starts with this magic.
bool nestsWithinLimit(std::string_view bytes)
{
    if (bytes.starts_with("bplist00"))
        return binaryPropertyListNestsWithin(bytes, maxJsonDepth);
    return xmlPropertyListNestsWithin(bytes, maxJsonDepth);
}

} // namespace

nlohmann::json jsonFromPropertyList(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max())
        notConvertible();
    // Checked before parsing: the library parses and frees one recursion per level.
    if (!nestsWithinLimit(bytes))
        notConvertible();
    plist_t root = nullptr;
    plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
    const PlistPtr owned(root);
    if (!root)
        notConvertible();
    const plist_type type = plist_get_node_type(root);
    if (type != PLIST_ARRAY && type != PLIST_DICT)
        notConvertible();
    return convert(root, 1);
}

} // namespace vantory::data
