#include "Views/Icons.h"

#include <QFontDatabase>
#include <QStringList>
#include <map>

namespace vantory::Icons {
namespace {

const char* const fontFile = "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

// Symbol name -> codepoint; the Material icon's own name follows each entry.
const std::map<std::string, char32_t>& codepoints()
{
    static const std::map<std::string, char32_t> table = {
        {"archivebox", 0xe149}, // archive
        {"archivebox.fill", 0xe1a1}, // inventory_2
        {"arrow.down.circle.fill", 0xf000}, // download_for_offline
        {"arrow.down.right.and.arrow.up.left", 0xf1cf}, // close_fullscreen
        {"arrow.triangle.2.circlepath", 0xe627}, // sync
        {"checkmark", 0xe5ca}, // check
        {"checkmark.circle", 0xe92d}, // check_circle_outline
        {"chevron.down", 0xe5cf}, // expand_more
        {"chevron.right", 0xe5cc}, // chevron_right
        {"chevron.up", 0xe5ce}, // expand_less
        {"curlybraces", 0xead3}, // data_object
        {"doc.fill", 0xe24d}, // insert_drive_file
        {"doc.on.doc", 0xe14d}, // content_copy
        {"doc.on.doc.fill", 0xe173}, // file_copy
        {"doc.richtext.fill", 0xef42}, // article
        {"exclamationmark.triangle", 0xf083}, // warning_amber
        {"exclamationmark.triangle.fill", 0xe002}, // warning
        {"film.fill", 0xe02c}, // movie
        {"folder.fill", 0xe2c7}, // folder
        {"lock.fill", 0xe897}, // lock
        {"lock.open.fill", 0xe898}, // lock_open
        {"lock.rectangle", 0xf042}, // password
        {"lock.rectangle.stack", 0xe63f}, // enhanced_encryption
        {"music.note", 0xe405}, // music_note
        {"person.crop.rectangle.fill", 0xe851}, // account_box
        {"photo.fill", 0xe3f4}, // image
        {"photo.on.rectangle.angled", 0xe3b6}, // collections
        {"plus.circle.fill", 0xe147}, // add_circle
        {"sparkles", 0xe65f}, // auto_awesome
        {"tablecells", 0xe265}, // table_chart
        {"text.alignleft", 0xe236}, // format_align_left
        {"waveform", 0xe1b8}, // graphic_eq
        {"xmark", 0xe5cd}, // close
    };
    return table;
}

constexpr char32_t fallbackCodepoint = 0xe8fd; // help_outline

QString familyName()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(fontFile));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("Material Icons") : families.front();
    }();
    return family;
}

} // namespace

QFont font(int pixelSize)
{
    QFont face(familyName());
    face.setPixelSize(pixelSize);
    return face;
}

QString glyph(const std::string& symbolName)
{
    const auto found = codepoints().find(symbolName);
    const char32_t codepoint = found == codepoints().end() ? fallbackCodepoint : found->second;
    return QString::fromUcs4(&codepoint, 1);
}

bool knows(const std::string& symbolName)
{
    return codepoints().contains(symbolName);
}

std::vector<std::string> knownNames()
{
    std::vector<std::string> names;
    for (const auto& [name, codepoint] : codepoints())
        names.push_back(name);
    return names;
}

} // namespace vantory::Icons
