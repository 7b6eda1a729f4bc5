#include "docs/ModuleLoading.h"
#include "model/AssimpReaderModule.h"

#include <gtest/gtest.h>

#include <string>

// A test program is not beside the modules; it finds them where the build wrote them, as the
// program finds them beside itself. What is missing is said, naming the part of the program.
TEST(ModuleLoading, FindsTheEntryOrSaysWhatIsMissing) {
    std::string error;
    EXPECT_NE(LoadModuleEntry(kAssimpModuleFile, kAssimpEntryName, "glTF and OFF reader", error),
              nullptr)
        << error;
    EXPECT_TRUE(error.empty());

    EXPECT_EQ(LoadModuleEntry(kAssimpModuleFile, "NoSuchEntry", "test part", error), nullptr);
    EXPECT_NE(error.find("libruvo_assimp_reader.so has no test part in it"), std::string::npos)
        << error;

    error.clear();
    EXPECT_EQ(LoadModuleEntry("libruvo_no_such_module.so", "Entry", "test part", error), nullptr);
    EXPECT_EQ(error.rfind("cannot load the test part: ", 0), 0u) << error;
    EXPECT_NE(error.find("libruvo_no_such_module.so"), std::string::npos) << error;
}
