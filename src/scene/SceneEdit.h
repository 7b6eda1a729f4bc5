#pragma once

#include <string>

class Universe;

// One undoable change of the case. An edit holds the values it sets and the values it replaces,
// so applying it and reverting it can be repeated in the order of an undo history: Revert is only
// called on a scene that Apply left, Apply (again) only on a scene that Revert left.
class SceneEdit {
public:
    explicit SceneEdit(std::string name) : name(std::move(name)) {}
    virtual ~SceneEdit() = default;
    SceneEdit(const SceneEdit&) = delete;
    SceneEdit& operator=(const SceneEdit&) = delete;

    // What the user did, as the Edit menu names it ("Undo <name>").
    const std::string& Name() const { return name; }

    // Makes the change (do and redo).
    virtual void Apply(Universe& scene) const = 0;
    // Takes it back exactly.
    virtual void Revert(Universe& scene) const = 0;

private:
    std::string name;
};
