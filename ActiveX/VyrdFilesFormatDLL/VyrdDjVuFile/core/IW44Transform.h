#pragma once
// The inverse wavelet transform of the wavelet image decoder.

#include <cstdint>

namespace vyrd {

// Transforms `width` x `height` coefficients (row 0 first, `width` samples per
// row) into samples, in place: for the scales 16, 8, 4, 2 and 1 (down to
// `finestScale`; 2 leaves the image at half resolution in the samples at even
// positions), first every column at a multiple of the scale is lifted
// vertically, then every row at a multiple of the scale horizontally. Sums
// are taken in 32 bits and results stored in 16; along a row the updates use
// the predicted samples' full 32-bit values. Scales at which the image is
// more than 8 steps wide and high take a path without bounds tests in the
// inner loops; the others take the general path. Both give the same values.
// Throws std::bad_alloc (a row's worth of work space).
void InverseWavelet(int16_t* samples, int32_t width, int32_t height, int finestScale = 1);

// The same transform, every scale through the general path: the reference the
// fast path is tested against.
void InverseWaveletGeneral(int16_t* samples, int32_t width, int32_t height, int finestScale = 1);

}  // namespace vyrd
