#pragma once

#include <GL/gl.h>

// How a drawing pass runs: drawing pixels, or the selection pass of picking, in which the passes
// load the pick names below.
enum class RenderPass { Normal, Selection };

// Pick names: trajectory n is n (1..20), element m is 20 + m (21..40), the handles 41, 42, 43;
// the metal objects of a CT scan, which have a selection pass of their own, 100 + their index in
// the scan's list. Name 0 carries whatever is drawn before the first name is loaded.
namespace pick_names {
constexpr GLuint kFirstElement = 20;
constexpr GLuint kFirstHandle = 40;
constexpr GLuint kFirstMetal = 100;
constexpr GLuint ForTrajectory(int number) {
    return static_cast<GLuint>(number);
}
constexpr GLuint ForElement(int number) {
    return kFirstElement + static_cast<GLuint>(number);
}
constexpr GLuint Handle(int handle) {
    return kFirstHandle + static_cast<GLuint>(handle);
}
constexpr GLuint ForMetal(int index) {
    return kFirstMetal + static_cast<GLuint>(index);
}
} // namespace pick_names

// Loads the name when the pass is the selection pass.
inline void LoadPickName(RenderPass pass, GLuint name) {
    if (pass == RenderPass::Selection) {
        glLoadName(name);
    }
}
