// The recipes of the lomo looks: for every style number 0..54 the steps its
// look runs (commands/LomoSteps.h), as constant tables.
//
// Styles 0 (LE_NONE) and 1 (LE_CLASSIC) share one recipe; 54, one past the
// last style name, has an empty recipe.
#pragma once

#include "commands/LomoSteps.h"

namespace vantrel::lomo {

// The highest style number with a recipe (the empty one).
inline constexpr int kLastRecipeStyle = 54;

// The steps of `style` (0..kLastRecipeStyle); an empty recipe for any
// other number.
Recipe LomoRecipe(int style);

}  // namespace vantrel::lomo
