#include "ct/CtDicomModule.h"
#include "base/SharedModule.h"

#include <gtest/gtest.h>

// The DICOM module is loaded by name at run time: it must give its entry and nothing else (its
// own copies of our helpers stay its own), and refuse to serve another version's program.
TEST(CtDicomModule, ExportsOnlyItsEntryAndChecksTheInterface) {
    std::string reason;
    const std::optional<SharedModule> module = SharedModule::Open(RUVO_CTDICOM_MODULE, reason);
    ASSERT_TRUE(module) << reason;
    const auto entry = reinterpret_cast<CtDicomEntry>(module->Symbol(kCtDicomEntryName));
    ASSERT_NE(entry, nullptr);
    const CtDicomFunctions* functions = entry(kCtDicomInterface);
    ASSERT_NE(functions, nullptr);
    EXPECT_NE(functions->scanFolder, nullptr);
    EXPECT_NE(functions->decodeSlice, nullptr);
    EXPECT_EQ(entry(kCtDicomInterface + 1), nullptr);
    // ScanDicomFolder, as the compiler names it.
    constexpr char kInnerFunction[] =
        "_Z15ScanDicomFolderRKNSt10filesystem7__cxx114pathERSt6vectorI14CtScannedSliceSaIS5_EE";
    EXPECT_EQ(module->Symbol(kInnerFunction), nullptr);

    // The program's own loader finds the same module.
    EXPECT_NE(LoadCtDicomModule(reason), nullptr) << reason;

    const std::optional<SharedModule> missing =
        SharedModule::Open("/nonexistent/libruvo_ctdicom.so", reason);
    EXPECT_FALSE(missing);
    EXPECT_NE(reason.find("libruvo_ctdicom.so"), std::string::npos) << reason;
}
