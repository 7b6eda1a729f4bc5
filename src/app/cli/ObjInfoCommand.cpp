#include "app/cli/HeadlessCommands.h"

#include "base/TextEscaping.h"
#include "mesh/MeshFitting.h"
#include "mesh/MeshNormals.h"
#include "mesh/io/MeshImport.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

// One number as "%g" prints it.
std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

void PrintCounts(const Mesh& mesh, std::ostream& out) {
    out << "vertices " << mesh.positions.size() << '\n'
        << "normals " << mesh.normals.size() << '\n'
        << "texcoords " << mesh.texCoords.size() << '\n'
        << "triangles " << mesh.triangles.size() << '\n'
        << "materials " << mesh.materials.size() << '\n';
    // The listing has always named the most recently created group first.
    for (auto group = mesh.groups.rbegin(); group != mesh.groups.rend(); ++group) {
        out << "group \"" << PrintableText(group->name) << "\" triangles "
            << group->triangleIndices.size() << " material " << group->material << '\n';
    }
    out << "box";
    for (float value : mesh.box) {
        out << ' ' << Number(value);
    }
    out << '\n';
}

} // namespace

// Reads the model through the import every body comes in by, whatever its format, and prepares
// it as the body is prepared, printing the counts as read and what the preparation gives: the
// fitting's scale, and the number of normals the smoothing at 90 degrees makes, counted without
// storing them (nor the facet normals), since nothing here looks at the normals themselves.
int RunObjInfoCommand(const CommandLine& commandLine, std::ostream& out, std::ostream& err) {
    // The counts need no digest of the file: the reading is timed against other readers.
    MeshImportCallbacks callbacks;
    callbacks.digest = false;
    const MeshImportResult result = ImportMesh(commandLine.modelFile, callbacks);
    if (!result.mesh) {
        err << PrintableText(result.error) << '\n';
        return 1;
    }
    Mesh& mesh = *result.mesh;
    PrintCounts(mesh, out);
    // Nothing below reads the file's normals or texture coordinates: their memory is let go.
    const std::size_t fileNormals = mesh.normals.size();
    std::vector<Vec3f>().swap(mesh.normals);
    std::vector<std::array<float, 2>>().swap(mesh.texCoords);
    const float scale = FitToUnitBox(mesh);
    out << "smoothed-normals " << CountVertexNormals(mesh, 90.0f).value_or(fileNormals) << '\n'
        << "fit-scale " << Number(scale) << '\n';
    return 0;
}
