#pragma once

#include "TriMesh.h"

#include <string>

// Surface colours of a material library entry.
struct MaterialColours {
    double ambient[3] = {0.2, 0.2, 0.2};
    double diffuse[3] = {0.8, 0.8, 0.8};
    double specular[3] = {0.0, 0.0, 0.0};
    double shininess = 0; // the Ns value, 0..1000
};

// What goes into one model file besides its geometry.
struct ObjFileInfo {
    std::string title;           // first comment line
    std::string materialLibrary; // file name for mtllib, or empty for none
    std::string material;        // name for usemtl, or empty for none
};

// Writes positions with five decimals, rounded the same way on every run, and faces as 1-based
// vertex indices. Returns false when the file cannot be written.
bool WriteObj(const std::string& path, const TriMesh& mesh, const ObjFileInfo& info);

bool WriteMtl(const std::string& path, const std::string& name, const MaterialColours& colours);

// Rounds every coordinate to the 1e-5 m that the files keep, so that the numbers a program reads
// are the ones the generator checked.
void RoundToFileResolution(TriMesh& mesh);
