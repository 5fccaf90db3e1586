#include "Converters/LibraryErrors.h"

#include "Converters/ConversionError.h"
#include "Converters/Data/JsonErrors.h"
#include "Converters/Media/FfmpegError.h"
#include "Platform/PathNames.h"
#include "Platform/PlatformError.h"
#include "mp3/Wrappers/LameEncoderError.h"

#include <nlohmann/json.hpp>
#include <vips/vips8>

#include <new>

namespace vantory {

void translatingLibraryErrors(const std::filesystem::path& path, const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const ConversionError&) {
        throw;
    } catch (const MediaReadError&) {
        throw ConversionError::loadFailed(path);
    } catch (const MediaWriteError& error) {
        throw ConversionError::exportFailed(path, error.what());
    } catch (const mp3::LameEncoderError& error) {
        throw ConversionError::exportFailed(path, error.what());
    } catch (const PlatformError&) {
        throw;
    } catch (const std::filesystem::filesystem_error& error) {
        throw PlatformError::from(error);
    } catch (const nlohmann::json::exception&) {
        throw data::malformedJsonError();
    } catch (const vips::VError&) {
        throw PlatformError("The image " + quotedName(path) + " could not be processed.");
    } catch (const std::bad_alloc&) {
        throw PlatformError(notEnoughMemory(path));
    } catch (const std::exception&) {
        throw PlatformError("The file " + quotedName(path) + " could not be processed.");
    }
}

std::string notEnoughMemory(const std::filesystem::path& path)
{
    return "There isn\u2019t enough memory to process " + quotedName(path) + ".";
}

} // namespace vantory
