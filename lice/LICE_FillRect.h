#pragma once
// Fills a rectangle of a bitmap with one colour, with a blend mode and weight.
//
// With LICE_BLIT_USE_ALPHA the colour's own alpha byte scales the weight
// (alpha * a / 255) and is then spent: the combination itself runs without the
// use-alpha variant, so the colour's alpha is not applied twice. Plain copies at
// the weights 1, 3/4, 1/2 and 1/4 use shift-and-mask averages, so they round
// down the way the editor's veils expect (white at a quarter over black gives
// 0x3F per colour channel).

#include "lice/LICE_IBitmap.h"

void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float alpha, int mode);

// Writes one pixel of the fill's copy mode at weight k (1/256 units), with the
// shift-and-mask forms for k = 256, 192, 128 and 64. Shared with the line.
LICE_pixel LICE_CopyPixelWeighted(LICE_pixel dest, LICE_pixel colour, int k);
