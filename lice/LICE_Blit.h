#pragma once
// Copies a rectangle of one bitmap onto another with a blend mode (LICE_Types.h)
// and a weight alpha (1.0 = full strength; 0 draws nothing).
//
// Clipping: the source rectangle is cut to the source bitmap; a negative
// destination x or y moves the source start instead; the size is cut to what
// fits in the destination. Plain copies at weight 1.0 and 0.5 take fast paths
// (row copies, shift-and-mask averaging); every other case uses the per-channel
// formulas of LICE_Combine.h.

#include "lice/LICE_IBitmap.h"

// Source rectangle given as x, y, width, height in the source bitmap.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY, int srcX, int srcY,
               int srcWidth, int srcHeight, float alpha, int mode);
// The whole source bitmap.
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY, float alpha, int mode);
