// The lomo looks: a style number turned into its recipe of imaging
// operations (commands/LomoRecipes.h) and run on a bitmap.
//
// Pixel contract: 3- or 4-byte bitmaps or views (bytes R, G, B, A), changed
// in place; colour bytes only, alpha never. Masks and copies are made at the
// size of the bitmap given, so on a region view a look's masks are sized and
// centred on the region. Lengths in a recipe are pixels of that bitmap.
//
// Random numbers: the noise of LE_OldSepiaBlue continues the process's
// random() sequence, as AddNoise does.
//
// Failure contract: returns 0 with the bitmap untouched for a style number
// above 54 (as unsigned, so negative numbers too) and for a bitmap of another
// format. A recipe returns 0 when it cannot get its copy, its mask, its
// enlarged copy (or finds that copy too small to centre the photo in), or
// where its recipe says so, when a blur fails; the steps already done stay on
// the bitmap and everything the recipe took is released. The results of the
// other steps are not examined. Style 54 does nothing and returns 1.
#pragma once

#include "Core/global/BitmapData.h"
#include "commands/LomoSteps.h"

namespace vantrel {

// Runs the look `lomo` (0..54: LE_NONE .. LE_Amatorka and the empty 54) on
// `bitmap`; 1 done, 0 not done (see above).
int ApplyLomoStyle(TiBitmapData& bitmap, int lomo);

// Runs the steps of `recipe` in order on `bitmap` (3 or 4 bytes per pixel),
// as a look does: 1 when every step ran, 0 when one of them failed the
// recipe (the steps before it stay).
int RunLomoRecipe(TiBitmapData& bitmap, lomo::Recipe recipe);

}  // namespace vantrel
