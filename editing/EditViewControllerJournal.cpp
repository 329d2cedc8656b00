// The edit session's journal: written after every change of the history,
// removed when the editor closes, and read back to resume an edit that a
// crash interrupted.
#include <unistd.h>

#include "Core/global/TiLog.h"
#include "commands/EffectsProcesser.h"
#include "editing/EditJournal.h"
#include "editing/EditViewController.h"
#include "editing/PhotoAppViewController.h"
#include "editing/Settings.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"
#include "platform/PictureScaling.h"

namespace vantrel {

struct EditViewController::ResumeOutcome {
    bool ok = false;
    Size originalSize;
    std::vector<Array> history;
    int commandIndex = 0;
    bool photoEdited = true;
    Picture working;
};

namespace {

std::string JournalPath(const std::string& folder) {
    return folder + "/" + kEditJournalFileName;
}

// The journal's original: its own file when that is the one the journal
// names, else the library photo at the scale it was opened at (written
// again as the original's file).
Picture ResumedOriginal(const EditJournal& journal, HistoryPictureStore& store,
                        const PhotoLibrary& library, EffectsProcesser& processor) {
    const auto named = journal.fingerprints.find(kOriginalImageCacheName);
    if (named != journal.fingerprints.end() &&
        store.fileMatches(kOriginalImageCacheName, named->second)) {
        store.adoptFingerprint(kOriginalImageCacheName, named->second);
        Picture original = store.readOriginal();
        if (!original.empty()) return original;
    }
    if (journal.reference.empty()) return Picture();
    const Result<Picture> photo = library.loadPicture(journal.reference);
    if (!photo) return Picture();
    Picture original =
        journal.originalScale < 1.0
            ? processor.fastZoomImage(photo.value(), static_cast<float>(journal.originalScale))
            : photo.value();
    if (!original.empty()) store.writeOriginal(original);
    return original;
}

}  // namespace

void EditViewController::writeJournal() {
    const std::string& folder = m_root.services().documentsDirectory;
    if (m_closing || folder.empty()) return;
    EditJournal journal;
    journal.reference = m_imageUrl;
    journal.originalScale = m_originalScale;
    journal.scaleMark = m_scaleMark;
    journal.history = m_history.commandsList();
    journal.commandIndex = m_history.commandIndex();
    journal.photoEdited = m_photoEdited;
    // Queued after the pictures queued so far: the fingerprints taken when
    // it runs are those of the files this journal stands for.
    HistoryPictureStore* store = &m_store;
    m_store.queue([store, journal = std::move(journal), path = JournalPath(folder)]() mutable {
        const std::string original = kOriginalImageCacheName;
        if (const auto fingerprint = store->fingerprint(original)) {
            journal.fingerprints[original] = *fingerprint;
        }
        for (int id = 0; id <= static_cast<int>(journal.history.size()); ++id) {
            const std::string name = HistoryPictureStore::historyFileName(id);
            if (const auto fingerprint = store->fingerprint(name)) {
                journal.fingerprints[name] = *fingerprint;
            }
        }
        const std::string text = EditJournalText(journal);
        const std::vector<unsigned char> bytes(text.begin(), text.end());
        const Result<Done> written = WriteFileAtomically(path, bytes);
        if (!written) TiLog("%s", written.error().c_str());
    });
}

void EditViewController::removeJournal() {
    const std::string& folder = m_root.services().documentsDirectory;
    if (folder.empty()) return;
    m_store.queue([path = JournalPath(folder)] { ::unlink(path.c_str()); });
}

void EditViewController::resumeFromJournal(const EditJournal& journal) {
    m_history.clearCommands();
    m_exitAfterSave = false;
    m_nameOfItemLastSelected.clear();
    m_tipsShowTimes = kTipsShowTimes;
    m_isOriginalImageCached = true;
    m_imageUrl = journal.reference;
    m_originalScale = journal.originalScale;
    m_scaleMark = journal.scaleMark;
    setBusy("STR_PROCESSING");
    auto self = shared_from_this();
    dispatchAsync(DispatchQueue::Default, [self, journal, token = m_root.backgroundWork().begin()] {
        ResumeOutcome outcome = self->rebuildPictures(journal);
        dispatchAsync(DispatchQueue::Main, [self, outcome = std::move(outcome), token]() mutable {
            self->resumeFinished(std::move(outcome));
        });
    });
}

EditViewController::ResumeOutcome EditViewController::rebuildPictures(const EditJournal& journal) {
    EditingServices& services = m_root.services();
    ResumeOutcome outcome;
    const Picture original =
        ResumedOriginal(journal, m_store, services.library, services.processor);
    if (original.empty()) return outcome;
    outcome.originalSize =
        Size{static_cast<float>(original.width()), static_cast<float>(original.height())};
    outcome.history = journal.history;
    outcome.commandIndex = journal.commandIndex;
    outcome.photoEdited = journal.photoEdited;
    Picture previous;  // the picture of the position before, when made here
    for (int id = 0; id <= static_cast<int>(outcome.history.size()); ++id) {
        const std::string name = HistoryPictureStore::historyFileName(id);
        const auto named = journal.fingerprints.find(name);
        if (named != journal.fingerprints.end() && m_store.fileMatches(name, named->second)) {
            m_store.adoptFingerprint(name, named->second);
            previous = Picture();
            continue;
        }
        // Missing or left by another edit: made again from the step before.
        Picture picture;
        if (id == 0) {
            picture = scaledForWork(original);
        } else {
            const Picture base = previous.empty() ? m_store.readHistoryPicture(id - 1) : previous;
            services.processor.setParamScale(journal.scaleMark);
            if (!base.empty()) {
                picture = services.processor.runCommands(
                    outcome.history[static_cast<std::size_t>(id - 1)], base);
            }
        }
        if (picture.empty() || !m_store.writeHistoryPicture(picture, id)) {
            // The history ends where its pictures do; without position 0
            // there is nothing to resume.
            outcome.history.resize(static_cast<std::size_t>(std::max(0, id - 1)));
            outcome.commandIndex = std::min(outcome.commandIndex, id - 1);
            break;
        }
        previous = picture;
    }
    if (outcome.commandIndex >= 0)
        outcome.working = m_store.readHistoryPicture(outcome.commandIndex);
    outcome.ok = !outcome.working.empty();
    return outcome;
}

void EditViewController::resumeFinished(ResumeOutcome outcome) {
    clearBusy();
    if (!outcome.ok) {
        removeJournal();
        m_root.viewLoadFailure();
        return;
    }
    m_originalImageSize = outcome.originalSize;
    m_history.restore(std::move(outcome.history), outcome.commandIndex);
    m_photoEdited = outcome.photoEdited;
    m_root.services().processor.setSelectedRect(Rect{});
    myImageViewSetImage(outcome.working);
    m_screen.barsShown = true;
    updateToolBarButtonStatus();
    writeJournal();
}

}  // namespace vantrel
