#pragma once

class BitmapFont;
class Case;

// Small markers at the body's landmarks where the body is drawn, each with its name while the
// scene shows texts; nothing unless the scene shows landmarks. Lighting is off while they draw
// and on afterwards.
void DrawLandmarks(const Case& scene, const BitmapFont& font);
