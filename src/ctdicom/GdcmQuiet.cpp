#include "ctdicom/GdcmQuiet.h"

#include <gdcmTrace.h>

GdcmQuiet::GdcmQuiet()
    : debug_(gdcm::Trace::GetDebugFlag()), warning_(gdcm::Trace::GetWarningFlag()),
      error_(gdcm::Trace::GetErrorFlag()) {
    gdcm::Trace::DebugOff();
    gdcm::Trace::WarningOff();
    gdcm::Trace::ErrorOff();
}

GdcmQuiet::~GdcmQuiet() {
    gdcm::Trace::SetDebug(debug_);
    gdcm::Trace::SetWarning(warning_);
    gdcm::Trace::SetError(error_);
}
