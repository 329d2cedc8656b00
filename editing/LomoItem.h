// LomoItem: one entry of a look list, a plain record.
#pragma once

#include <string>
#include <utility>

#include "platform/Picture.h"

namespace vantrel {

struct LomoItem {
    // No picture, no name, style 0, not cached.
    LomoItem() = default;

    LomoItem(Picture itemImage, std::string itemName, int itemLomo)
        : image(std::move(itemImage)), name(std::move(itemName)), lomo(itemLomo) {}

    static LomoItem itemWithImage(Picture itemImage, std::string itemName, int itemLomo) {
        return LomoItem(std::move(itemImage), std::move(itemName), itemLomo);
    }

    Picture image;          // the thumbnail
    std::string name;       // the display name
    int lomo = 0;           // the style number
    bool isCached = false;  // the thumbnail has been computed and stored
};

}  // namespace vantrel
