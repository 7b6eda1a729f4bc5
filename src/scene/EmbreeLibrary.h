#pragma once

#include <embree3/rtcore.h>

#include <initializer_list>
#include <string>

// The ray-tracing library, bound when the first surface is prepared for picking rather than when
// the program starts: it is large, and most commands never cast a ray. Each member is the library
// function of the same name without its `rtc` prefix.
struct EmbreeLibrary {
    decltype(&rtcNewDevice) NewDevice = nullptr;
    decltype(&rtcReleaseDevice) ReleaseDevice = nullptr;
    decltype(&rtcGetDeviceError) GetDeviceError = nullptr;
    decltype(&rtcNewGeometry) NewGeometry = nullptr;
    decltype(&rtcReleaseGeometry) ReleaseGeometry = nullptr;
    decltype(&rtcSetGeometryBuildQuality) SetGeometryBuildQuality = nullptr;
    decltype(&rtcSetNewGeometryBuffer) SetNewGeometryBuffer = nullptr;
    decltype(&rtcUpdateGeometryBuffer) UpdateGeometryBuffer = nullptr;
    decltype(&rtcCommitGeometry) CommitGeometry = nullptr;
    decltype(&rtcNewScene) NewScene = nullptr;
    decltype(&rtcReleaseScene) ReleaseScene = nullptr;
    decltype(&rtcSetSceneFlags) SetSceneFlags = nullptr;
    decltype(&rtcSetSceneBuildQuality) SetSceneBuildQuality = nullptr;
    decltype(&rtcAttachGeometry) AttachGeometry = nullptr;
    decltype(&rtcCommitScene) CommitScene = nullptr;
    decltype(&rtcIntersect1) Intersect1 = nullptr;

    // The library, loaded on the first call and kept for the rest of the run; nullptr when it
    // cannot be loaded, with the reason in `error` (every later call gives the same answer).
    static const EmbreeLibrary* Get(std::string& error);

    // True once the process has begun to end, after the library was loaded. The library's own
    // state is then torn down before objects made earlier (a scene that lives for the whole run)
    // let go of what they hold; those leave their devices and scenes to the system.
    static bool ProcessEnding();
    // Lists handles left to the system at exit for the rest of the run, so that they still count
    // as in use (and leak checkers do not report them).
    static void LeaveToSystem(std::initializer_list<const void*> handles);
};
