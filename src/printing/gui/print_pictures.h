// The pictures of the print dialog, drawn rather than loaded so the program
// ships no image files: how to feed the mark sheet, and the seven frames of a
// printer at work. Look only; nothing depends on their content.
#pragma once

#include <QPixmap>

namespace tw::printing {

inline constexpr int kAnimationFrames = 7;

// The mark sheet going into the printer's slot, printed side up, top edge first.
QPixmap feedPicture();
// Frame 0..6 of the printer at work: the sheet comes out a little further each
// frame, and the lamp blinks.
QPixmap printerFrame(int frame);

} // namespace tw::printing
