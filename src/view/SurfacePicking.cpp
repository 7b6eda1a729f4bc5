#include "view/SurfacePicking.h"

#include "case/PosedCase.h"
#include "view/Camera.h"

#include <cmath>

namespace {

constexpr double kZoomStep = 0.1; // of the distance, per wheel step

double Length(const Vec3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

} // namespace

std::optional<SurfaceRay> PixelRay(const Camera& camera, int width, int height, double x,
                                   double y) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const Matrix4 viewProjection = Camera::ProjectionMatrix(width, height) * camera.ViewMatrix();
    const std::optional<Matrix4> unproject = viewProjection.Inverse();
    if (!unproject) {
        return std::nullopt;
    }
    const double ndcX = 2 * x / width - 1;
    const double ndcY = 1 - 2 * y / height;
    const Vec3 nearPoint = unproject->TransformPoint({ndcX, ndcY, -1});
    const Vec3 farPoint = unproject->TransformPoint({ndcX, ndcY, 1});
    SurfaceRay ray;
    ray.origin = nearPoint;
    ray.direction = {farPoint.x - nearPoint.x, farPoint.y - nearPoint.y, farPoint.z - nearPoint.z};
    ray.tMax = 1.0;
    return ray;
}

std::optional<SurfaceHit> BodySurfaceAt(const PosedCase& posed, const Camera& camera, int width,
                                        int height, double x, double y) {
    const std::optional<SurfaceRay> ray = PixelRay(camera, width, height, x, y);
    if (!ray) {
        return std::nullopt;
    }
    return posed.GetBody().FirstSurfaceHit(*ray);
}

void ZoomTowardPixel(const PosedCase& posed, Camera& camera, int width, int height, double x,
                     double y, double steps) {
    const std::optional<SurfaceRay> ray = PixelRay(camera, width, height, x, y);
    if (!ray || !std::isfinite(steps)) {
        return;
    }
    const Matrix4 view = camera.ViewMatrix();
    const Vec3 eyeDirection = view.TransformVector(ray->direction);
    const double rayLength = Length(eyeDirection);
    if (rayLength == 0) {
        return;
    }
    const Vec3 unit = {eyeDirection.x / rayLength, eyeDirection.y / rayLength,
                       eyeDirection.z / rayLength};
    double distance = Length({camera.GetX(), camera.GetY(), camera.GetZ()});
    if (const std::optional<SurfaceHit> hit = posed.GetBody().FirstSurfaceHit(*ray)) {
        distance = Length(view.TransformPoint(hit->point));
    }
    // The eye sits at the origin of eye space; moving it by s along the ray adds s * unit to the
    // offset the view subtracts after its turns.
    const double shift = steps * kZoomStep * distance;
    camera.SetX(camera.GetX() + shift * unit.x);
    camera.SetY(camera.GetY() + shift * unit.y);
    camera.SetZ(camera.GetZ() + shift * unit.z);
}
