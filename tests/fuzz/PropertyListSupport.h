#pragma once

#include "Converters/Data/PropertyListJson.h"
#include "FuzzSupport.h"

#include <memory>
#include <plist/plist.h>

// Shared by the XML and the binary property-list targets.
namespace vantory::fuzz {

// A small limit, so that inputs right at and just past it are easy to reach.
inline constexpr int checkedDepth = 4;

// Whether the parsed list nests its containers at most `maxDepth` deep (the top is 1).
// Stops one level past the limit, so it never recurses deeper than that.
inline bool plistNestsWithin(plist_t node, int maxDepth, int depth = 1)
{
    const plist_type type = plist_get_node_type(node);
    if (type != PLIST_ARRAY && type != PLIST_DICT)
        return true;
    if (depth > maxDepth)
        return false;
    if (type == PLIST_ARRAY) {
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i)
            if (!plistNestsWithin(plist_array_get_item(node, i), maxDepth, depth + 1))
                return false;
        return true;
    }
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    const std::unique_ptr<void, void (*)(void*)> ownedIterator(iterator, std::free);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        std::free(key);
        if (!value)
            return true;
        if (!plistNestsWithin(value, maxDepth, depth + 1))
            return false;
    }
}

// A list the nesting check passes must really be that shallow once the library has read
// it; and the conversion must either give JSON the writer takes or refuse the list.
// `binary`: the form the nesting check reads; the library picks its reader by the magic.
template <class NestsWithin>
void checkPropertyList(std::string_view bytes, bool binary, NestsWithin nestsWithin)
{
    nlohmann::json value;
    if (succeeds([&] { value = data::jsonFromPropertyList(bytes); })) {
        VANTORY_FUZZ_CHECK(value.is_object() || value.is_array());
        (void)value.dump(2);
    }
    const bool readAsBinary = bytes.starts_with("bplist00");
    if (!bytes.empty() && readAsBinary == binary && nestsWithin(bytes, checkedDepth)) {
        plist_t root = nullptr;
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (root) {
            const bool shallow = plistNestsWithin(root, checkedDepth);
            plist_free(root);
            VANTORY_FUZZ_CHECK(shallow);
        }
    }
}

} // namespace vantory::fuzz
