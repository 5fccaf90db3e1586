#include "Views/ActionCard/RowChoice.h"

#include "Models/ActionIds.h"
#include "Views/QtText.h"

namespace vantory {
namespace {

std::optional<QString> errorFor(const FileAction& action, const RowContext& context)
{
    if (!context.singleFileError || context.singleFileErrorActionId != action.id)
        return std::nullopt;
    return qtText(*context.singleFileError);
}

} // namespace

RowChoice chooseRow(const FileAction& action, const RowContext& context)
{
    RowChoice choice;
    choice.title = qtText(action.title);
    choice.errorText = errorFor(action, context);

    if (action.id == ActionIds::compressZipWithPassword) {
        choice.kind = RowKind::lock;
        choice.title = QStringLiteral("Protect with Password");
        choice.buttonLabel = QStringLiteral("Compress");
    } else if (action.id == ActionIds::lockPdf) {
        choice.kind = RowKind::lock;
        choice.title = QStringLiteral("Lock PDF");
        choice.buttonLabel = QStringLiteral("Lock");
    } else if (action.id == ActionIds::unlockExtractZip) {
        choice.kind = RowKind::unlockZip;
        choice.autoExpand = true;
    } else if (action.id == ActionIds::unlockPdf) {
        choice.kind = RowKind::unlockPdf;
        choice.autoExpand = context.payloadIsEncryptedPdf;
    } else if (!action.subOptions.empty()) {
        choice.kind = RowKind::convertMenu;
    } else if (action.disabled) {
        choice.kind = RowKind::disabled;
        // A disabled action never runs, so no run of it failed.
        choice.errorText = std::nullopt;
    } else {
        choice.kind = RowKind::button;
    }
    return choice;
}

} // namespace vantory
