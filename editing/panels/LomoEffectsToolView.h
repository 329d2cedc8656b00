// The look panels. The lomo panel shows four sections ("Classic", "Soft",
// "B/W", "Other"), each a strip of looks with thumbnails; the HDR panel one
// strip of four HDR looks. Selecting a look titles the panel with its name
// and previews it: "None" shows the unprocessed source and applies nothing;
// a look previewed before in this panel comes from the picture cache
// (memory at once, else after 0.3 s from memory or disk on a high-priority
// queue, with the wait panel up); any other look runs CMD_LOMO.
//
// Every finished preview is stored in the cache under its look's name (in
// memory and on disk, on a background queue) and the look marked cached. A
// preview is matched to the look it was run for, so that a late preview of
// a look left behind is cached as that look and never shown for another.
//
// A horizontal swipe over the picture selects the next look (leftwards) or
// the previous one (rightwards) of the selected look's strip; past either end
// nothing happens.
#pragma once

#include <vector>

#include "editing/LomoItem.h"
#include "editing/panels/EffectsToolView.h"
#include "editing/panels/LomoLooks.h"

namespace vantrel {

class LomoEffectsToolView : public EffectsToolView {
public:
    static constexpr float kSwipeDistance = 40;  // shown-picture points
    static constexpr int kCachedLoadDelayMs = 300;

    LomoEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);

    bool initFinish() override;
    void reset() override;

    int sectionCount() const { return static_cast<int>(m_lists.size()); }
    const std::vector<LomoItem>& looks(int section) const { return m_lists.at(section); }
    const LomoItem& selectedLook() const { return m_lists[m_selectedSection][m_selectedIndex]; }
    int shownSection() const { return m_section; }

    // Cache reads and writes of look panels still running on other queues,
    // process-wide; the picture cache must outlive them.
    static int cacheWorkInFlight();

protected:
    LomoEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context,
                        std::vector<LookSection> sections);

    void addTaskListRun(EffectsProcesser& processor) override;
    void previewFinished(const Picture& picture) override;
    void choiceChanged(int index) override;
    void pictureTouch(const TouchEvent& touch) override;
    void addState(Dictionary& state) const override;

    void selectLook(int section, int index);

private:
    void showLookValue();
    void loadCachedLook(const LomoItem& item);
    void cachedLookLoaded(int lomo, const Picture& picture);
    void storeInCache(int lomo, const Picture& picture);
    void markCached(int lomo);
    int lookOfFinishedRun() const;
    LomoItem* findItem(int lomo);

    std::vector<LookSection> m_sections;
    std::vector<std::vector<LomoItem>> m_lists;
    int m_section = 0;
    int m_selectedSection = 0;
    int m_selectedIndex = 0;
    Point m_swipeStart;
};

// The HDR panel: its one strip; the first preview after reset runs at once.
class HDRFixEffectsToolView final : public LomoEffectsToolView {
public:
    HDRFixEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context);

    void reset() override;
};

}  // namespace vantrel
