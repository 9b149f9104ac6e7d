#pragma once

// What draws the views. The components paint their shapes and shadows on
// the processor, so Qt Quick's software renderer shows them as an OpenGL
// one would, without loading a graphics driver (llvmpipe alone maps some
// 50 MB) for windows that stay closed most of the day. QT_QUICK_BACKEND,
// when set, chooses instead ("rhi" for OpenGL).
namespace SceneGraphBackend {

// Before the first window is made.
void choose();

} // namespace SceneGraphBackend
