#include "base/AppInfo.h"

#include <filesystem>
#include <system_error>

namespace {

AppInfo MakeAppInfo() {
    AppInfo info;
    info.title = "Ruvolane";
    info.version = "2.7.0";
    info.legalNotice = "Copyright (C) 2026 Kestrane";
    info.rightsNotice = "All rights reserved.";
    info.domain = "kestrane.example";
    info.website = "https://kestrane.example/";
    std::error_code error;
    info.startDirectory = std::filesystem::current_path(error).string();
    return info;
}

} // namespace

const AppInfo& GetAppInfo() {
    static const AppInfo info = MakeAppInfo();
    return info;
}
