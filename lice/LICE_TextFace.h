#pragma once
// One font of the native text drawing (LICE_SystemText_posix.cpp): its line
// metrics, the advance of each character and the coverage of its glyphs. A
// native font handle points to one of these. The text drawing lays lines out
// and aligns them; a face only measures and paints single characters.
//
//   LICE_FreeTypeFace  a font file that fontconfig picked, drawn by FreeType
//   LICE_BuiltinFace   a built-in 5 x 7 bitmap font, when no font file is found
//
// Characters are Unicode code points. Editors of several plug-in instances
// may draw with one shared font on different threads, so every use of a face
// after its construction happens under its Lock().

#include <mutex>

class LICE_TextPainter;

class LICE_TextFace {
 public:
  virtual ~LICE_TextFace() = default;
  // [any thread] The character height, ascent plus descent, in pixels: the
  // height of one line of text. Fixed when the face is made; needs no lock.
  virtual int LineHeightPx() const = 0;
  // [any thread, Lock() held] How far the pen moves after the character, in
  // whole pixels.
  virtual int AdvancePx(int character) = 0;
  // [any thread, Lock() held] Paints the character's coverage with the pen at
  // penX on a line whose top is topY; returns its advance.
  virtual int DrawGlyph(int character, int penX, int topY, LICE_TextPainter& painter) = 0;

  std::mutex& Lock() { return lock_; }

 private:
  std::mutex lock_;
};
