#include "Views/ActionCard/RowChoice.h"

#include <gtest/gtest.h>
#include <ostream>

namespace vantory {

// Failures name the row rather than dumping its bytes.
void PrintTo(const RowChoice& choice, std::ostream* out)
{
    *out << "{kind " << static_cast<int>(choice.kind) << ", \"" << choice.title.toStdString() << "\", \""
         << choice.buttonLabel.toStdString() << "\", autoExpand " << choice.autoExpand << ", error "
         << (choice.errorText ? "\"" + choice.errorText->toStdString() + "\"" : std::string("none")) << "}";
}

} // namespace vantory

using namespace vantory;

namespace {

struct ChooserCase {
    const char* name;
    FileAction action;
    RowContext context;
    RowChoice expected;
};

FileAction plain(const std::string& id, const std::string& title = "Some Action")
{
    return {id, title, "doc.fill", {}, false, std::nullopt};
}

FileAction withTargets(FileAction action)
{
    action.subOptions = {{"to_png", "png", "PNG"}};
    return action;
}

FileAction disabled(FileAction action)
{
    action.disabled = true;
    action.disabledReason = "Not here";
    return action;
}

RowContext failedRun(const std::string& actionId)
{
    return {false, "Conversion failed", actionId};
}

const QString failed = QStringLiteral("Conversion failed");

void PrintTo(const ChooserCase& row, std::ostream* out)
{
    *out << row.name;
}

class RowChooserTest : public ::testing::TestWithParam<ChooserCase> { };

TEST_P(RowChooserTest, PicksTheRowItsArgumentsAndItsError)
{
    EXPECT_EQ(chooseRow(GetParam().action, GetParam().context), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RowChooserTest,
    ::testing::Values(ChooserCase{"ProtectWithPassword",
                                  plain("compress_zip_pw"),
                                  {},
                                  {RowKind::lock, "Protect with Password", "Compress", false, std::nullopt}},
                      ChooserCase{"LockPdf", plain("lock_pdf"), {}, {RowKind::lock, "Lock PDF", "Lock", false, std::nullopt}},
                      ChooserCase{"LockRowTakesItsRunsError",
                                  plain("lock_pdf"),
                                  failedRun("lock_pdf"),
                                  {RowKind::lock, "Lock PDF", "Lock", false, failed}},
                      ChooserCase{"UnlockZipOpensByItself",
                                  plain("unlock_extract_zip", "Unlock & Extract"),
                                  {},
                                  {RowKind::unlockZip, "Unlock & Extract", "", true, std::nullopt}},
                      ChooserCase{"UnlockPdfOfAnEncryptedPdfOpens",
                                  plain("unlock_pdf", "Unlock Document"),
                                  {true, {}, {}},
                                  {RowKind::unlockPdf, "Unlock Document", "", true, std::nullopt}},
                      ChooserCase{"UnlockPdfOtherwiseStaysFolded",
                                  plain("unlock_pdf", "Unlock Document"),
                                  {},
                                  {RowKind::unlockPdf, "Unlock Document", "", false, std::nullopt}},
                      ChooserCase{"UnlockRowTakesItsRunsError",
                                  plain("unlock_extract_zip", "Unlock & Extract"),
                                  failedRun("unlock_extract_zip"),
                                  {RowKind::unlockZip, "Unlock & Extract", "", true, failed}},
                      ChooserCase{"TargetsMakeAConvertMenu",
                                  withTargets(plain("convert_image", "Convert To")),
                                  {},
                                  {RowKind::convertMenu, "Convert To", "", false, std::nullopt}},
                      ChooserCase{"ADisabledActionWithTargetsIsStillAMenu",
                                  disabled(withTargets(plain("convert_image", "Convert To"))),
                                  {},
                                  {RowKind::convertMenu, "Convert To", "", false, std::nullopt}},
                      ChooserCase{"MenuShowsItsOwnError",
                                  withTargets(plain("convert_image", "Convert To")),
                                  failedRun("convert_image"),
                                  {RowKind::convertMenu, "Convert To", "", false, failed}},
                      ChooserCase{"Disabled",
                                  disabled(plain("unsupported", "Unsupported File")),
                                  {},
                                  {RowKind::disabled, "Unsupported File", "", false, std::nullopt}},
                      ChooserCase{"DisabledNeverShowsAnError",
                                  disabled(plain("unsupported", "Unsupported File")),
                                  failedRun("unsupported"),
                                  {RowKind::disabled, "Unsupported File", "", false, std::nullopt}},
                      ChooserCase{"Button",
                                  plain("format_json", "Format / Beautify"),
                                  {},
                                  {RowKind::button, "Format / Beautify", "", false, std::nullopt}},
                      ChooserCase{"ButtonShowsItsOwnError",
                                  plain("format_json", "Format / Beautify"),
                                  failedRun("format_json"),
                                  {RowKind::button, "Format / Beautify", "", false, failed}},
                      ChooserCase{"AnotherActionsErrorIsNotShown",
                                  plain("format_json", "Format / Beautify"),
                                  failedRun("minify_json"),
                                  {RowKind::button, "Format / Beautify", "", false, std::nullopt}},
                      ChooserCase{"AnIdWithoutAMessageIsNoError",
                                  plain("format_json", "Format / Beautify"),
                                  {false, std::nullopt, "format_json"},
                                  {RowKind::button, "Format / Beautify", "", false, std::nullopt}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
