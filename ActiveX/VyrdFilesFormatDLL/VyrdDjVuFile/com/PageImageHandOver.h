// Hands a rendered page to a page image object of the viewer component.
//
// The page image class belongs to the page viewer component, not to this
// server: it is reached only by its class identifier and the fixed vtable slots
// of its interface, so no header of that component is needed here.
#pragma once

#include "ComPtr.h"
#include "Raster.h"

#include <windows.h>

// The page image class and the interface the reader asks it for.
extern const CLSID kClsidPageImage;  // {2BB2E135-4B81-4840-B7CD-A744DD236AB0}
extern const IID kIidPageImage;      // {3905360D-3C87-498C-93D2-27E002B941B1}

// Creates a page image object and fills it with the raster's picture:
// width and height, then pixel type and bytes per row (BGR24 and BILEVEL only),
// the bottom-up flag, and last the pixel block. When the pixel block was taken,
// the raster no longer owns it (ownership passed to the image). Returns the
// image's IUnknown.
//
// Throws vyrd::HResultError with the failing HRESULT when the object cannot be
// created or refuses the pixel block; the raster then still owns its block and
// frees it as usual.
ComPtr<IUnknown> HandOverToPageImage(LONG width, LONG height, vyrd::CRasterImage& raster);
