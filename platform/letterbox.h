#pragma once
// Fitting a picture into an output of another size: the largest rectangle of
// the picture's shape centred in the output, with bars on two sides, and
// points mapped between the two.

namespace plat {

struct FitRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The whole output when either size is empty.
FitRect Letterbox(int outW, int outH, int picW, int picH);

// A point of the output in picture coordinates through r (the picture's
// rectangle in the output). A point on a bar lands outside the picture:
// left of it or above it is negative.
void OutputToPicture(const FitRect& r, int picW, int picH, int x, int y, int* px, int* py);
// A picture point to where it shows in the output.
void PictureToOutput(const FitRect& r, int picW, int picH, int px, int py, int* x, int* y);

} // namespace plat
