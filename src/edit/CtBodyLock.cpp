#include "edit/CtBodyLock.h"

#include "case/Case.h"

std::string PostureRefusal(const Case& theCase) {
    return theCase.ct.IsCtBody() ? std::string(kCtPostureRefusal) : std::string();
}

std::string BodyChangeRefusal(const Case& theCase, const Body& before, const Body& after) {
    if (!theCase.ct.IsCtBody()) {
        return {};
    }
    if (!(before.GetPosture() == after.GetPosture())) {
        return std::string(kCtPostureRefusal);
    }
    if (before.GetHeight() != after.GetHeight() || before.GetScaleX() != after.GetScaleX() ||
        before.GetScaleZ() != after.GetScaleZ()) {
        return std::string(kCtShapeRefusal);
    }
    return {};
}
