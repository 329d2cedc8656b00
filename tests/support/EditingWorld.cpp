#include "support/EditingWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "commands/ErrorManager.h"
#include "platform/Dispatch.h"
#include "platform/PictureCodec.h"

namespace vantrel::test {

bool SamePixels(const Picture& a, const Picture& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.byteCount()) == 0);
}

EditingWorld::EditingWorld(const std::string& documents, const std::string& library)
    : m_documents(documents.empty() ? std::make_unique<ScratchFolder>() : nullptr),
      m_library(library.empty() ? std::make_unique<ScratchFolder>() : nullptr),
      documentsPath(m_documents ? m_documents->path() : documents),
      libraryPath(m_library ? m_library->path() : library),
      settings(documentsPath + "/" + kSettingsFileName),
      imageCache(documentsPath) {
    m_root = std::make_unique<PhotoAppViewController>(
        EditingServices{settings, processor, imageCache, PhotoLibrary(libraryPath), documentsPath});
    m_root->setObserver(&observer);
    m_root->setEffectPanelFactory(&panels);
    m_root->setCameraAvailable(true);
}

EditingWorld::~EditingWorld() {
    Settle();
    m_root.reset();
}

void EditingWorld::Settle() {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::size_t ran = drainMainQueue();
        if (EditViewController* editor = m_root->editViewController()) {
            editor->pictureStore().waitForWrites();
        }
        if (ran == 0 && m_root->backgroundWork().count() == 0 && drainMainQueue() == 0) return;
        m_root->backgroundWork().waitUntilIdleFor(1ms);
    }
    ADD_FAILURE() << "the editing flow did not settle";
}

EditViewController& EditingWorld::editor() {
    EditViewController* editor = m_root->editViewController();
    if (!editor) throw std::runtime_error("no edit screen");
    return *editor;
}

void EditingWorld::OpenPicture(const Picture& picture, std::optional<int> sheetChoice) {
    m_root->openPicture(picture, 1);
    AnswerSheet(sheetChoice);
}

void EditingWorld::OpenLibraryPhoto(const std::string& reference, std::optional<int> sheetChoice) {
    m_root->openLibraryPhoto(reference);
    AnswerSheet(sheetChoice);
}

void EditingWorld::AnswerSheet(std::optional<int> sheetChoice) {
    Settle();
    if (sheetChoice && ui.pendingQuestion()) {
        ui.answer(*sheetChoice);
        Settle();
    }
}

void EditingWorld::PutInLibrary(const std::string& reference, const Picture& picture) {
    const std::string path = libraryPath + "/" + reference;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const Result<Done> written = WritePictureFile(picture, path);
    ASSERT_TRUE(written.ok()) << written.error();
}

void EditingWorld::SetPanel(const std::string& title, std::optional<PanelScript> script) {
    panels.registerPanel(
        title,
        [this, script](const EffectPanelRequest& request) -> std::unique_ptr<EffectPanelHost> {
            panelRequests.push_back(request);
            if (!script) {
                ErrorManager::sharedErrorManager().setErrorString("Can not create context!");
                return nullptr;
            }
            return std::make_unique<ScriptedPanel>(*script);
        });
}

void EditingWorld::Apply(const PanelScript& script, const std::string& title) {
    SetPanel(title, script);
    editor().actionEffectProcess(title);
    Settle();
    editor().actionDone();
    Settle();
}

void EditingWorld::Save() {
    editor().actionSaveImage();
    Settle();
}

std::vector<std::string> EditingWorld::SavedFiles() const {
    std::vector<std::string> files;
    const std::filesystem::path folder = libraryPath + "/Vantrel";
    if (!std::filesystem::exists(folder)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path().string());
    }
    return files;
}

}  // namespace vantrel::test
