#include "ct/CtDicomModule.h"
#include "ctdicom/CtDicomFolderScan.h"
#include "ctdicom/CtDicomSliceDecode.h"

// The only symbol the module exports (it is built with hidden visibility).
extern "C" __attribute__((visibility("default"))) const CtDicomFunctions*
RuvoCtDicomFunctions(uint32_t interfaceVersion) {
    static const CtDicomFunctions functions{&ScanDicomFolder, &DecodeDicomSlice};
    return interfaceVersion == kCtDicomInterface ? &functions : nullptr;
}
