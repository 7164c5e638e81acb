// The message boxes, the shared error box and help, shown through the platform's services.

#include "common/modPLFunction.h"

#include "host/ui/UiServices.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace paperloom::modPLFunction {
namespace {

// VB's "Internal error": what an error that is not the host's error object is reported as.
constexpr long kForeignErrorNumber = 51;
constexpr std::string_view kForeignErrorSource = "Paperloom";

void ShowBox(std::string_view strText, std::string_view strTitle, ui::MessageIcon icon) {
    ui::MessageRequest request;
    request.strText = std::string(strText);
    request.strTitle = std::string(strTitle);
    request.icon = icon;
    request.buttons = ui::MessageButtons::OK;
    ui::Messages().Show(request);
}

}  // namespace

std::optional<host::HostError> ErrorToReport(const std::exception_ptr& error) {
    if (!error) {
        return std::nullopt;
    }
    try {
        std::rethrow_exception(error);
    } catch (const host::HostError& hostError) {
        if (hostError.Number() == 0) {
            return std::nullopt;
        }
        return hostError;
    } catch (const std::exception& other) {
        return host::HostError(kForeignErrorNumber, std::string(kForeignErrorSource), other.what());
    } catch (...) {
        return host::HostError(kForeignErrorNumber, std::string(kForeignErrorSource), "Unknown error");
    }
}

void ShowErrorMessage(std::string_view strTitle, std::exception_ptr error) {
    const auto report = ErrorToReport(error);
    if (!report) {
        return;
    }
    const ErrorReport text = MakeErrorReport(*report);
    ui::MessageRequest request;
    request.strText = text.strText;
    request.strTitle = std::string(strTitle);
    request.icon = ui::MessageIcon::Critical;
    request.buttons = ui::MessageButtons::OK;
    request.strHelpFile = text.strHelpFile;
    request.lngHelpContext = text.lngHelpContext;
    ui::Messages().Show(request);
}

void ShowErrorDescription(std::string_view strTitle, std::exception_ptr error) {
    if (const auto report = ErrorToReport(error)) ShowCriticalMessage(report->Description(), strTitle);
}

void ShowCriticalMessage(std::string_view strText, std::string_view strTitle) {
    ShowBox(strText, strTitle, ui::MessageIcon::Critical);
}

void ShowInformationMessage(std::string_view strText, std::string_view strTitle) {
    ShowBox(strText, strTitle, ui::MessageIcon::Information);
}

std::string AddInFolder() {
    Dl_info info{};
    // Any function of this library names the file it was loaded from.
    if (::dladdr(reinterpret_cast<void*>(&AddInFolder), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::error_code ec;
    const auto file = std::filesystem::weakly_canonical(info.dli_fname, ec);
    return (ec ? std::filesystem::path(info.dli_fname) : file).parent_path().string();
}

void ShowHelpFile(std::string_view strHelpFile, std::string_view strFolder) {
    if (strHelpFile.empty()) {
        return;
    }
    std::filesystem::path file(strHelpFile);
    if (file.is_relative()) {
        file = std::filesystem::path(strFolder.empty() ? AddInFolder() : std::string(strFolder)) / file;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return;
    }
    ui::Help().ShowContents(file);
}

}  // namespace paperloom::modPLFunction
