#include "Platform/LanguageModel.h"

#include "Platform/ExtractiveLanguageModel.h"

namespace vantory {

std::shared_ptr<LanguageModel> LanguageModel::systemDefault()
{
    static const auto model = std::make_shared<ExtractiveLanguageModel>();
    return model;
}

} // namespace vantory
