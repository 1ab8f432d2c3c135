// The shell's file operations on Windows: SHFileOperationA itself.

#include "platform/Shell.h"

namespace {
// The portable names, taken before <shellapi.h> turns them into macros.
constexpr uint32_t kMove = platform::FO_MOVE, kCopy = platform::FO_COPY,
                   kDelete = platform::FO_DELETE, kRename = platform::FO_RENAME;
constexpr uint16_t kNoConfirmation = platform::FOF_NOCONFIRMATION,
                   kFilesOnly = platform::FOF_FILESONLY, kNoErrorUi = platform::FOF_NOERRORUI;
} // namespace

#include <windows.h>

#include <shellapi.h>

static_assert(kMove == FO_MOVE && kCopy == FO_COPY && kDelete == FO_DELETE && kRename == FO_RENAME);
static_assert(kNoConfirmation == FOF_NOCONFIRMATION && kFilesOnly == FOF_FILESONLY &&
              kNoErrorUi == FOF_NOERRORUI);

namespace platform {
namespace {

class Win32Shell final : public Shell {
public:
  int32_t SHFileOperationA(platform::SHFILEOPSTRUCTA& request) override {
    ::SHFILEOPSTRUCTA record{};
    record.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.hwnd));
    record.wFunc = request.wFunc;
    record.pFrom = request.pFrom.c_str();
    record.pTo = request.pTo.c_str();
    record.fFlags = request.fFlags;
    record.fAnyOperationsAborted = request.fAnyOperationsAborted;
    record.hNameMappings = request.hNameMappings;
    record.lpszProgressTitle = request.lpszProgressTitle;
    int result = ::SHFileOperationA(&record);
    request.fAnyOperationsAborted = record.fAnyOperationsAborted != FALSE;
    request.hNameMappings = record.hNameMappings;
    return result;
  }
};

} // namespace

std::shared_ptr<Shell> Shell::Native() {
  return std::make_shared<Win32Shell>();
}

} // namespace platform
