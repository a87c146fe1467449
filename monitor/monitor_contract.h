// What Calorix relies on of the hardware monitor ("HWM", viahm.exe).
#pragma once

#include <string_view>

namespace calorix::monitor {

// Its installation record: the uninstall log "Uninst.isu" in the install
// folder, named behind a "-f" switch.
inline constexpr std::string_view kUninstallRoot = "HKEY_LOCAL_MACHINE";
inline constexpr std::string_view kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VIAhm";
inline constexpr std::string_view kUninstallValue = "UninstallString";
inline constexpr std::string_view kUninstallLogName = "Uninst.isu";

// The program the shell starts, with the install folder as working directory.
inline constexpr std::string_view kMonitorExe = "viahm.exe";

// The title of its main window, exactly.
inline constexpr std::string_view kMonitorTitle = "VIA HWM";

// Its window furniture that Calorix adjusts.
inline constexpr std::string_view kCloseButtonText = "&Close";
inline constexpr std::string_view kMinimizeButtonText = "&Minimize";
inline constexpr std::string_view kTitleLabelPattern = "VIA Hardware Monitor System *";

// How long a launched monitor has to show its window.
inline constexpr int kLaunchTimeoutMs = 60'000;

}  // namespace calorix::monitor
