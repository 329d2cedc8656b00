#include "editing/HistoryPictureStore.h"

#include "Core/global/TiLog.h"
#include "editing/EditJournal.h"
#include "platform/Files.h"
#include "platform/PictureCodec.h"

namespace vantrel {
namespace {

class SemaphoreHold {
public:
    explicit SemaphoreHold(DispatchSemaphore& semaphore) : m_semaphore(semaphore) {
        m_semaphore.wait();
    }
    ~SemaphoreHold() { m_semaphore.signal(); }
    SemaphoreHold(const SemaphoreHold&) = delete;
    SemaphoreHold& operator=(const SemaphoreHold&) = delete;

private:
    DispatchSemaphore& m_semaphore;
};

}  // namespace

HistoryPictureStore::HistoryPictureStore(std::string folder) : m_folder(std::move(folder)) {}

HistoryPictureStore::~HistoryPictureStore() {
    m_writer.waitUntilEmpty();
}

std::string HistoryPictureStore::historyFileName(int id) {
    return "ImageCache_" + std::to_string(id) + ".png";
}

void HistoryPictureStore::queueOriginal(Picture picture, std::function<void(bool)> done) {
    queueWrite(kOriginalImageCacheName, std::move(picture), m_originalImageGetSem, std::move(done));
}

void HistoryPictureStore::queueHistoryPicture(Picture picture, int id,
                                              std::function<void(bool)> done) {
    queueWrite(historyFileName(id), std::move(picture), m_cacheImageSem, std::move(done));
}

void HistoryPictureStore::queue(DispatchBlock block) {
    m_writer.async(std::move(block));
}

void HistoryPictureStore::waitForWrites() {
    m_writer.waitUntilEmpty();
}

void HistoryPictureStore::queueWrite(const std::string& fileName, Picture picture,
                                     DispatchSemaphore& semaphore, std::function<void(bool)> done) {
    {
        std::lock_guard lock(m_mutex);
        ++m_queuedWrites[fileName];
    }
    m_writer.async([this, fileName, picture = std::move(picture), &semaphore,
                    done = std::move(done)]() mutable {
        const bool written = writeFile(fileName, picture, semaphore);
        picture = Picture();
        {
            std::lock_guard lock(m_mutex);
            if (--m_queuedWrites[fileName] == 0) m_queuedWrites.erase(fileName);
        }
        m_written.notify_all();
        if (done) done(written);
    });
}

void HistoryPictureStore::waitForQueuedWrites(const std::string& fileName) {
    DispatchWaitScope lend;
    std::unique_lock lock(m_mutex);
    m_written.wait(lock, [&] { return m_queuedWrites.find(fileName) == m_queuedWrites.end(); });
}

bool HistoryPictureStore::writeOriginal(const Picture& picture) {
    return writeFile(kOriginalImageCacheName, picture, m_originalImageGetSem);
}

bool HistoryPictureStore::writeHistoryPicture(const Picture& picture, int id) {
    return writeFile(historyFileName(id), picture, m_cacheImageSem);
}

Picture HistoryPictureStore::readOriginal() {
    return readFile(kOriginalImageCacheName, m_originalImageGetSem);
}

Picture HistoryPictureStore::readHistoryPicture(int id) {
    return readFile(historyFileName(id), m_cacheImageSem);
}

bool HistoryPictureStore::writeFile(const std::string& fileName, const Picture& picture,
                                    DispatchSemaphore& semaphore) {
    // Without a documents directory nothing is written (never beside "/").
    const Result<std::vector<unsigned char>> png =
        picture.empty() || m_folder.empty()
            ? Result<std::vector<unsigned char>>::Failure("no picture")
            : EncodePicture(picture, PictureFormat::Png);
    bool written = false;
    {
        SemaphoreHold hold(semaphore);
        written = png && WriteFileAtomically(pathOf(fileName), png.value()).ok();
    }
    std::lock_guard lock(m_mutex);
    if (written) {
        m_fingerprints[fileName] = FileFingerprint(png.value());
    } else {
        TiLog("can not write %s", fileName.c_str());
        m_fingerprints.erase(fileName);
    }
    return written;
}

Picture HistoryPictureStore::readFile(const std::string& fileName, DispatchSemaphore& semaphore) {
    waitForQueuedWrites(fileName);
    if (m_folder.empty()) return Picture();
    Result<std::vector<unsigned char>> bytes =
        Result<std::vector<unsigned char>>::Failure("not read");
    {
        SemaphoreHold hold(semaphore);
        bytes = ReadWholeFile(pathOf(fileName), kMaxPictureFileBytes);
    }
    if (!bytes) return Picture();
    Result<Picture> picture = DecodePicture(bytes.value());
    return picture ? std::move(picture).value() : Picture();
}

std::optional<std::uint64_t> HistoryPictureStore::fingerprint(const std::string& fileName) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_fingerprints.find(fileName);
    if (found == m_fingerprints.end()) return std::nullopt;
    return found->second;
}

bool HistoryPictureStore::fileMatches(const std::string& fileName, std::uint64_t expected) const {
    if (m_folder.empty()) return false;
    const Result<std::vector<unsigned char>> bytes =
        ReadWholeFile(pathOf(fileName), kMaxPictureFileBytes);
    return bytes && FileFingerprint(bytes.value()) == expected;
}

void HistoryPictureStore::adoptFingerprint(const std::string& fileName, std::uint64_t fingerprint) {
    std::lock_guard lock(m_mutex);
    m_fingerprints[fileName] = fingerprint;
}

}  // namespace vantrel
