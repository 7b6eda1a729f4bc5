#include "render/Primitives.h"

#include "base/Radians.h"
#include "render/ShapeListCache.h"

#include <GL/gl.h>

#include <cmath>

namespace {

void Quad(float nx, float ny, float nz, const float (&corners)[4][3]) {
    glNormal3f(nx, ny, nz);
    for (const auto& corner : corners) {
        glVertex3fv(corner);
    }
}

} // namespace

void DrawRing(double radius, int segments) {
    if (segments <= 0) {
        return;
    }
    const double step = 360.0 / segments;
    double previousX = radius;
    double previousZ = 0.0;
    glBegin(GL_LINES);
    for (double angle = 0.0; angle <= 360.0; angle += step) {
        const double t = DegreesToRadians(angle);
        const double x = radius * std::cos(t);
        const double z = radius * std::sin(t);
        glVertex3d(previousX, 0.0, previousZ);
        glVertex3d(x, 0.0, z);
        previousX = x;
        previousZ = z;
    }
    glEnd();
}

namespace {

void IssueSphere(double radius, int segments) {
    const double step = 360.0 / segments;
    auto point = [radius](double lat, double lon) {
        const double a = DegreesToRadians(lat);
        const double b = DegreesToRadians(lon);
        glVertex3d(radius * std::cos(a) * std::sin(b), radius * std::sin(a),
                   radius * std::cos(a) * std::cos(b));
    };
    glPushAttrib(0xFFFFF);
    glPolygonMode(GL_FRONT, GL_FILL);
    glBegin(GL_QUADS);
    for (double lat = -90.0; lat < 90.0; lat += step) {
        for (double lon = 0.0; lon < 360.0; lon += step) {
            const double a = DegreesToRadians(lat);
            const double b = DegreesToRadians(lon);
            glNormal3d(std::sin(b), std::sin(a), std::cos(b));
            point(lat, lon);
            point(lat, lon + step);
            point(lat + step, lon + step);
            point(lat + step, lon);
        }
    }
    glEnd();
    glPopAttrib();
}

} // namespace

void DrawSphere(double radius, int segments, ShapeListCache* cache) {
    if (segments <= 0) {
        return;
    }
    if (cache == nullptr) {
        IssueSphere(radius, segments);
        return;
    }
    cache->Draw(ShapeListCache::Shape::Sphere, radius, segments,
                [radius, segments] { IssueSphere(radius, segments); });
}

void DrawBox(float x0, float y0, float z0, float x1, float y1, float z1) {
    glColor3f(0.5f, 0.5f, 0.5f);
    glDisable(GL_LIGHTING);
    glPushAttrib(0xFFFFF);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBegin(GL_QUADS);
    Quad(-1, 0, 0, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}});
    Quad(0, 0, 1, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}});
    Quad(1, 0, 0, {{x1, y0, z1}, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}});
    Quad(0, 0, -1, {{x1, y0, z0}, {x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}});
    Quad(0, 1, 0, {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}});
    Quad(0, -1, 0, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}});
    glEnd();
    glPopAttrib();
    glEnable(GL_LIGHTING);
}
