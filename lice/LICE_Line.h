#pragma once
// Draws a line segment from (x1, y1) to (x2, y2), both ends included, with a
// colour, a weight alpha and a blend mode (only the mode's low byte counts: the
// colour's own bytes are the source).
//
// The segment is first clipped to the bitmap (Cohen-Sutherland). Horizontal
// and vertical segments write every pixel; exact diagonals (|dx| = |dy|) write
// the pixel on the line at 3/4 of the weight and the two pixels that share an
// edge with it and the next one at 1/4; every other segment is anti-aliased
// from both ends toward the middle with a 16.16 fixed-point minor-axis step.

#include "lice/LICE_IBitmap.h"

void LICE_Line(LICE_IBitmap* dest, int x1, int y1, int x2, int y2, LICE_pixel colour, float alpha,
               int mode);

// Clips the segment to the rectangle 0..width-1, 0..height-1 in place; false
// when nothing of it is left (or the clipping did not settle in 32 rounds).
bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int width, int height);
