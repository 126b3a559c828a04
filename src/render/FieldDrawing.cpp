#include "render/FieldDrawing.h"

#include <vector>

#include <GL/gl.h>

namespace vantrel {

void DrawField(const VoxelVolume& volume, bool pickPass) {
    if (pickPass) return;
    const std::vector<LayerVoxel>& records = volume.layerVoxels();
    if (records.empty()) return;
    static std::vector<GLfloat> positions;
    static std::vector<GLfloat> colours;
    positions.resize(records.size() * 3);
    colours.resize(records.size() * 4);
    for (size_t i = 0; i < records.size(); ++i) {
        const LayerVoxel& record = records[i];
        positions[3 * i + 0] = static_cast<GLfloat>(record.centre.x);
        positions[3 * i + 1] = static_cast<GLfloat>(record.centre.y);
        positions[3 * i + 2] = static_cast<GLfloat>(record.centre.z);
        const double d = volume.DensityAt(record.voxel);
        colours[4 * i + 0] = static_cast<GLfloat>(d / 6.0);
        colours[4 * i + 1] = static_cast<GLfloat>(d / 6.0);
        colours[4 * i + 2] = 0.5f;
        colours[4 * i + 3] = 0.1f;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_POINT_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glPointSize(10.0f);
    glDepthMask(GL_FALSE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glColorPointer(4, GL_FLOAT, 0, colours.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(records.size()));
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace vantrel
