#include "ct/GdcmQuiet.h"

#include <gdcmTrace.h>

GdcmQuiet::GdcmQuiet() {
    gdcm::Trace::WarningOff();
    gdcm::Trace::ErrorOff();
    gdcm::Trace::DebugOff();
}

GdcmQuiet::~GdcmQuiet() = default;
