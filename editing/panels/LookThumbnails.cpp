#include "editing/panels/LookThumbnails.h"

#include <algorithm>
#include <cstring>

#include "Core/base/Zoom.h"
#include "Core/global/Numeric.h"
#include "commands/EffectsProcesser.h"
#include "commands/NameTables.h"

namespace vantrel {

Picture CoverThumbnail(const Picture& working, int side) {
    if (working.empty() || side <= 0) return Picture();
    const double f = std::max(side / double(working.width()), side / double(working.height()));
    const int width = std::max(side, TiTrunc(working.width() * f + 0.5));
    const int height = std::max(side, TiTrunc(working.height() * f + 0.5));
    std::unique_ptr<TiBitmapData> source = BitmapFromPicture(working);
    std::unique_ptr<TiBitmapData> scaled =
        source ? CreateImageZoom(*source, width, height) : nullptr;
    PixelBuffer crop = PixelBuffer::Allocate(side, side);
    if (!scaled || crop.empty()) return Picture();
    const int left = (width - side) / 2;
    const int top = (height - side) / 2;
    for (int y = 0; y < side; ++y) {
        std::memcpy(crop.data() + static_cast<std::size_t>(y) * side * 4,
                    scaled->GetData() + static_cast<std::size_t>(top + y) * scaled->GetPitch() +
                        static_cast<std::size_t>(left) * 4,
                    static_cast<std::size_t>(side) * 4);
    }
    return crop.Finish();
}

std::vector<std::vector<LomoItem>> BuildLookLists(std::span<const LookSection> sections,
                                                  const Picture& working,
                                                  EffectsProcesser& processor) {
    const Picture thumbnail = CoverThumbnail(working, kLookThumbnailSide);
    const int shorter = std::min(working.width(), working.height());
    processor.setParamScale(shorter > 0 ? kLookThumbnailShortSide / shorter : 1.0);
    std::vector<std::vector<LomoItem>> lists;
    for (LookSection section : sections) {
        std::vector<LomoItem>& items = lists.emplace_back();
        for (const LomoLook& look : LooksInSection(section)) {
            Picture image = thumbnail;
            if (look.lomo != LE_NONE && !thumbnail.empty()) {
                processor.beginAddCommandDic();
                processor.addCommandLomoByLomo(look.lomo);
                Picture done = processor.runCommands(processor.actionCommandListTemp(), thumbnail);
                processor.cancelAddCommandDic();
                if (!done.empty()) image = std::move(done);
            }
            items.push_back(
                LomoItem::itemWithImage(image, std::string(look.displayName), look.lomo));
        }
    }
    processor.setParamScale(1.0);
    return lists;
}

}  // namespace vantrel
