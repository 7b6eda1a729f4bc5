#pragma once

#include <string>

// What the program says about itself and where it was started.
struct AppInfo {
    std::string title;          // the product title
    std::string version;        // "2.7.0"
    std::string legalNotice;    // the maker's copyright line
    std::string rightsNotice;   // shown under the copyright line in the About box
    std::string domain;         // the maker's web domain, shown in the window title
    std::string website;        // the maker's web address
    std::string startDirectory; // the working directory when the record was created
};

// The process-wide record, created on the first call (which records the start directory).
const AppInfo& GetAppInfo();
