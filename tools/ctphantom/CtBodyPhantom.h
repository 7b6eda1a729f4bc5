#pragma once

#include "CtBodyPhantomLayout.h"
#include "CtBodySection.h"
#include "CtPhantom.h"
#include "base/Status.h"

#include <cstdint>
#include <string>
#include <vector>

// The body phantom: the default body's surface as the skin, soft tissue inside it with fat under
// the skin, and the bones, lungs, channels and metal of CtBodyPhantomLayout.
//
// It lies in the patient frame (LPS, mm) as a supine body whose left is +L, head +S and front
// -P, whatever the posture the series is written in: the patient frame is the patient's own, so
// that head first, feet first and prone change only the image axes and the order of the slices.
// Its box is centred in the volume, with the soles and the back half a voxel beyond a voxel
// centre, so that the skin found at any threshold between the air and the fat lies within a few
// hundredths of a voxel of them.
class CtBodyPhantom {
public:
    // Reads the body model (metres, standing in the body frame); the skin is the model moved so
    // that its soles, back and middle are at y = 0, z = 0 and x = 0.
    Status Load(const std::string& modelPath);

    const CtBodyPhantomLayout& Layout() const { return layout_; }
    // The skin's box: left-right, head-foot, front-back extent (cm).
    double WidthCm() const { return size_.x; }
    double HeightCm() const { return size_.y; }
    double DepthCm() const { return size_.z; }

    // Where the body frame's origin (soles, back, middle) lies in the series the options write.
    Vec3 OriginLps(const CtPhantomOptions& options) const;
    Vec3 ToLps(const CtPhantomOptions& options, const Vec3& bodyCm) const;
    Vec3 ToBody(const CtPhantomOptions& options, const Vec3& lps) const;

    // Points whose tissue is known, for tests and checks: the channel's middle (air), the
    // fragment's and the bullet's centres (metal), the left lung's centre, the middle of the left
    // femur and of the spine's lumbar part (bone), the belly (soft tissue).
    struct KnownPoint {
        std::string name;
        Vec3 bodyCm;
        int16_t hu = 0;
    };
    std::vector<KnownPoint> KnownPoints() const;

    bool InsideSkin(const Vec3& bodyCm) const;
    // Hounsfield units at a body point. Not safe to call from several threads at once (the
    // outline of the last height asked for is kept).
    int16_t HuAtBody(const Vec3& bodyCm) const;
    // The same at `count` points from `start` in steps of `step` (body frame, cm).
    void HuAlongRow(const Vec3& start, const Vec3& step, int count, int16_t* hu) const;

private:
    const CtBodySection& SectionAt(double y) const;
    int16_t Classify(const Vec3& p, bool inside, const std::vector<const CtPhantomCapsule*>& near,
                     const CtBodySection& section) const;
    std::vector<const CtPhantomCapsule*> CapsulesAt(double y) const;

    std::vector<CtBodySection::Triangle> triangles_; // cm
    Vec3 size_;
    CtBodyPhantomLayout layout_;
    mutable CtBodySection section_;
    mutable bool haveSection_ = false;
};
