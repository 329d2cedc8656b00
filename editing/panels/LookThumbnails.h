// The look lists of the lomo and HDR panels: one LomoItem per look of a
// section, its thumbnail the working image scaled to cover 96 x 96 and
// centre-cropped, then run through the look at once (the "None" look keeps
// the plain thumbnail) with paramScale = 50 / the working image's shorter
// side, so that a look's sizes shrink as they would on a 50-pixel photo.
#pragma once

#include <span>
#include <vector>

#include "editing/LomoItem.h"
#include "editing/panels/LomoLooks.h"
#include "platform/Picture.h"

namespace vantrel {

class EffectsProcesser;

inline constexpr int kLookThumbnailSide = 96;
inline constexpr double kLookThumbnailShortSide = 50;

// `working` scaled to cover side x side and centre-cropped; empty when
// memory is short or the picture is empty.
Picture CoverThumbnail(const Picture& working, int side);

// The lists of `sections`, in order. Leaves the processor's paramScale at
// 1.0. A look whose run fails keeps the plain thumbnail.
std::vector<std::vector<LomoItem>> BuildLookLists(std::span<const LookSection> sections,
                                                  const Picture& working,
                                                  EffectsProcesser& processor);

}  // namespace vantrel
