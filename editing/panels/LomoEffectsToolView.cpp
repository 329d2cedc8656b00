#include "editing/panels/LomoEffectsToolView.h"

#include <atomic>
#include <chrono>
#include <cmath>

#include "Core/global/Numeric.h"
#include "commands/ActionCommand.h"
#include "commands/CommandTable.h"
#include "commands/NameTables.h"
#include "editing/ImageCacheManager.h"
#include "editing/StateValues.h"
#include "editing/panels/LookThumbnails.h"
#include "platform/Dispatch.h"
#include "platform/UIServices.h"

namespace vantrel {
namespace {

std::atomic<int> g_cacheWork{0};

constexpr int kMemoryOnly = 0;
constexpr int kMemoryThenDisk = 2;

std::vector<LookSection> LomoSections() {
    return {LookSection::kClassic, LookSection::kSoft, LookSection::kBlackWhite,
            LookSection::kOther};
}

}  // namespace

LomoEffectsToolView::LomoEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context)
    : LomoEffectsToolView(panelSpec, context, LomoSections()) {}

LomoEffectsToolView::LomoEffectsToolView(const PanelSpec& panelSpec, const PanelContext& context,
                                         std::vector<LookSection> sections)
    : EffectsToolView(panelSpec, context), m_sections(std::move(sections)) {}

bool LomoEffectsToolView::initFinish() {
    // Built first: the thumbnails leave paramScale at 1.0, which the preview
    // source then sets to the panel's scale.
    m_lists = BuildLookLists(m_sections, fullImage(), processor());
    return EffectsToolView::initFinish();
}

void LomoEffectsToolView::reset() {
    if (released()) return;
    resetControls();
    m_section = 0;
    selectLook(0, 0);
}

void LomoEffectsToolView::showLookValue() {
    const int look = indexOf("look");
    setRawValueAt(look,
                  m_section == m_selectedSection ? static_cast<float>(m_selectedIndex) : -1.0f);
    updateLabel();
    setLabelAt(look, selectedLook().name);
}

void LomoEffectsToolView::choiceChanged(int index) {
    if (index == indexOf("section")) {
        // Only the strip shown changes; the selected look stays.
        m_section = TiTrunc(valueAt(index));
        showLookValue();
        return;
    }
    const int look = TiTrunc(valueAt(index));
    if (look < 0 || look >= static_cast<int>(m_lists[m_section].size())) {
        showLookValue();  // a place outside the strip: nothing happens
        return;
    }
    selectLook(m_section, look);
}

void LomoEffectsToolView::selectLook(int section, int index) {
    m_selectedSection = section;
    m_selectedIndex = index;
    m_section = section;
    if (indexOf("section") >= 0) setValue("section", static_cast<float>(section));
    showLookValue();
    const LomoItem& item = selectedLook();
    if (delegate()) delegate()->etvSetTitle(item.name);
    if (item.lomo == LE_NONE) {
        setReviewImage(originalImage());
        changeImage(originalImage());
        setAppliedEffect(false);
        return;
    }
    setAppliedEffect(true);
    if (item.isCached) {
        loadCachedLook(item);
        return;
    }
    startProcess();
}

void LomoEffectsToolView::loadCachedLook(const LomoItem& item) {
    const Picture cached = imageCache().loadImageCacheForName(item.name, kMemoryOnly);
    if (!cached.empty()) {
        setReviewImage(cached);
        changeImage(cached);
        return;
    }
    UIServices& ui = currentUIServices();
    ui.showWaitPanelWithTitle(ui.localizedString("STR_PROCESSING"), false);
    ImageCacheManager* cache = &imageCache();
    std::weak_ptr<EffectsToolView> weak = weakSelf();
    ++g_cacheWork;
    dispatchAfter(std::chrono::milliseconds(kCachedLoadDelayMs), DispatchQueue::High,
                  [cache, weak, name = item.name, lomo = item.lomo] {
                      Picture loaded = cache->loadImageCacheForName(name, kMemoryThenDisk);
                      --g_cacheWork;
                      dispatchAsync(DispatchQueue::Main, [weak, lomo, loaded] {
                          const std::shared_ptr<EffectsToolView> panel = weak.lock();
                          if (!panel || panel->released()) {
                              currentUIServices().removeWaitPanel();
                              return;
                          }
                          static_cast<LomoEffectsToolView&>(*panel).cachedLookLoaded(lomo, loaded);
                      });
                  });
}

void LomoEffectsToolView::cachedLookLoaded(int lomo, const Picture& picture) {
    const bool stillSelected = selectedLook().lomo == lomo;
    if (!picture.empty() || !stillSelected) currentUIServices().removeWaitPanel();
    if (!stillSelected) return;  // another look was chosen meanwhile
    if (picture.empty()) {
        startProcess();
        return;
    }
    setReviewImage(picture);
    changeImage(picture);
}

void LomoEffectsToolView::addTaskListRun(EffectsProcesser& processor) {
    processor.addCommandLomoByLomo(selectedLook().lomo);
}

int LomoEffectsToolView::lookOfFinishedRun() const {
    for (const Value& entry : finishedRunList()) {
        const Dictionary* command = entry.dictionary();
        const Value* cmd = command ? command->find(kCmdKey) : nullptr;
        if (!cmd || cmd->stringValue() != "CMD_LOMO") continue;
        const Value* lomo = command->find("lomo");
        return lomo ? ActionCommand::stringToLomo(lomo->stringValue()) : -1;
    }
    return -1;
}

LomoItem* LomoEffectsToolView::findItem(int lomo) {
    for (std::vector<LomoItem>& list : m_lists) {
        for (LomoItem& item : list) {
            if (item.lomo == lomo) return &item;
        }
    }
    return nullptr;
}

void LomoEffectsToolView::previewFinished(const Picture& picture) {
    if (released()) return;
    const int lomo = lookOfFinishedRun();
    if (lomo == selectedLook().lomo) {
        EffectsToolView::previewFinished(picture);
    } else {
        setProcessing(false);
    }
    storeInCache(lomo, picture);
}

void LomoEffectsToolView::storeInCache(int lomo, const Picture& picture) {
    const LomoItem* item = findItem(lomo);
    if (!item || lomo == LE_NONE || picture.empty()) return;
    ImageCacheManager* cache = &imageCache();
    std::weak_ptr<EffectsToolView> weak = weakSelf();
    ++g_cacheWork;
    dispatchAsync(DispatchQueue::Background, [cache, weak, picture, lomo, name = item->name] {
        if (!weak.expired()) cache->saveImageCache(picture, name, kMemoryThenDisk);
        --g_cacheWork;
        dispatchAsync(DispatchQueue::Main, [weak, lomo] {
            const std::shared_ptr<EffectsToolView> panel = weak.lock();
            if (panel && !panel->released())
                static_cast<LomoEffectsToolView&>(*panel).markCached(lomo);
        });
    });
}

int LomoEffectsToolView::cacheWorkInFlight() {
    return g_cacheWork.load();
}

void LomoEffectsToolView::markCached(int lomo) {
    if (LomoItem* item = findItem(lomo)) item->isCached = true;
}

void LomoEffectsToolView::pictureTouch(const TouchEvent& touch) {
    EffectsToolView::pictureTouch(touch);
    const Size shown{static_cast<float>(originalImage().width()),
                     static_cast<float>(originalImage().height())};
    const Point p = PointInFrame(touch, shown);
    if (touch.phase == TouchPhase::Began) {
        m_swipeStart = p;
        return;
    }
    if (touch.phase != TouchPhase::Ended) return;
    const float dx = p.x - m_swipeStart.x;
    const float dy = p.y - m_swipeStart.y;
    if (std::fabs(dx) < kSwipeDistance || std::fabs(dx) <= 2 * std::fabs(dy)) return;
    const int next = m_selectedIndex + (dx < 0 ? 1 : -1);
    if (next < 0 || next >= static_cast<int>(m_lists[m_selectedSection].size())) return;
    selectLook(m_selectedSection, next);
}

void LomoEffectsToolView::addState(Dictionary& state) const {
    Array sections;
    for (std::size_t s = 0; s < m_lists.size(); ++s) {
        Array looks;
        for (const LomoItem& item : m_lists[s]) {
            looks.push_back(Dictionary{{"name", Value(item.name)},
                                       {"lomo", NumberValue(item.lomo)},
                                       {"isCached", Value(item.isCached)}});
        }
        sections.push_back(
            Dictionary{{"title", Value(SectionTitle(m_sections[s]))}, {"looks", looks}});
    }
    state.set("sections", sections);
    state.set("shownSection", NumberValue(m_section));
    state.set("selected", Dictionary{{"section", NumberValue(m_selectedSection)},
                                     {"index", NumberValue(m_selectedIndex)},
                                     {"name", Value(selectedLook().name)}});
}

HDRFixEffectsToolView::HDRFixEffectsToolView(const PanelSpec& panelSpec,
                                             const PanelContext& context)
    : LomoEffectsToolView(panelSpec, context, {LookSection::kHDR}) {}

void HDRFixEffectsToolView::reset() {
    if (released()) return;
    mutableFlags().realTimeProcess = true;
    LomoEffectsToolView::reset();
    mutableFlags().realTimeProcess = false;
}

}  // namespace vantrel
