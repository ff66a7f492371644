// The executable's own file version.

#include <windows.h>

#include <vector>

#include "update/version_format.h"
#include "update/version_text_win.h"
#include "update/web_helpers.h"

namespace tidewell {
namespace {

std::wstring OwnPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: long path
    }
}

}  // namespace

Text VersionText(const Text& format) { return FileVersionText(OwnPath(), format); }

Text FileVersionText(const std::wstring& path, const Text& format) {
    if (path.empty()) return Text(kMissingVersion);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return Text(kMissingVersion);
    std::vector<BYTE> data(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return Text(kMissingVersion);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return Text(kMissingVersion);
    }
    const VersionParts parts{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
    return FormatVersion(format, parts);
}

}  // namespace tidewell
