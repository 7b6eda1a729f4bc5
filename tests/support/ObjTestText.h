#pragma once

#include "mesh/io/obj/ObjReader.h"

#include <map>
#include <string>

// Reads OBJ text from memory; `libraries` maps the paths the reader asks for to MTL text.
inline ObjReadResult ReadObjText(const std::string& objText,
                                 const std::map<std::string, std::string>& libraries = {},
                                 const std::string& path = "model.obj") {
    return ReadObjFromMemory(objText, path,
                             [libraries](const std::string& name) -> std::optional<std::string> {
                                 const auto found = libraries.find(name);
                                 if (found == libraries.end()) {
                                     return std::nullopt;
                                 }
                                 return found->second;
                             });
}
