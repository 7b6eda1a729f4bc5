#pragma once

class BitmapFont;
class Universe;

// Small markers at the body's landmarks where the body is drawn, each with its name while the
// scene shows texts; nothing unless the scene shows landmarks. Lighting is off while they draw
// and on afterwards.
void DrawLandmarks(const Universe& scene, const BitmapFont& font);
