// The edit session's picture files in the documents directory: the original
// photo "OriginalImageCache" and the history pictures "ImageCache_%d.png"
// (the working image after that many steps), both PNG, both written
// atomically, so that a crash leaves the old file or the new one, never a
// part of one.
//
// Writes are queued on one serial writer at default priority and run in the
// order they were queued; the edit journal is queued on the same writer, so
// it is never written before the pictures it names. A read of a file waits
// for the queued writes of that file first, so an early undo or save never
// reads an older picture than the one the history stands for.
//
// Semaphores (count 1): originalImageGetSem guards every read and write of
// the original's file, cacheImageSem those of the history pictures.
//
// Every file written here is fingerprinted (EditJournal.h); a failed write
// forgets the file's fingerprint, since what is on disk is then no longer
// what the history stands for.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/Dispatch.h"
#include "platform/Picture.h"
#include "platform/SerialQueue.h"

namespace vantrel {

inline constexpr char kOriginalImageCacheName[] = "OriginalImageCache";

class HistoryPictureStore {
public:
    explicit HistoryPictureStore(std::string folder);
    // Waits for the queued writes.
    ~HistoryPictureStore();
    HistoryPictureStore(const HistoryPictureStore&) = delete;
    HistoryPictureStore& operator=(const HistoryPictureStore&) = delete;

    // "ImageCache_<id>.png", the name made by the format "%@_%d.png".
    static std::string historyFileName(int id);
    std::string pathOf(const std::string& fileName) const { return m_folder + "/" + fileName; }

    // Queues a write; `done` (optional) gets its success on the writer.
    void queueOriginal(Picture picture, std::function<void(bool)> done = {});
    void queueHistoryPicture(Picture picture, int id, std::function<void(bool)> done = {});
    // Queues any other work that must follow the writes queued so far.
    void queue(DispatchBlock block);
    void waitForWrites();

    // Synchronous reads and writes, each under its semaphore.
    bool writeOriginal(const Picture& picture);
    bool writeHistoryPicture(const Picture& picture, int id);
    Picture readOriginal();
    Picture readHistoryPicture(int id);

    // The fingerprint of a file as last written here, if that write succeeded.
    std::optional<std::uint64_t> fingerprint(const std::string& fileName) const;
    // Whether the file now holds the bytes of `expected`.
    bool fileMatches(const std::string& fileName, std::uint64_t expected) const;
    // Takes a fingerprint known from an earlier run (a resumed edit).
    void adoptFingerprint(const std::string& fileName, std::uint64_t fingerprint);

    DispatchSemaphore& originalImageGetSem() { return m_originalImageGetSem; }
    DispatchSemaphore& cacheImageSem() { return m_cacheImageSem; }

private:
    bool writeFile(const std::string& fileName, const Picture& picture,
                   DispatchSemaphore& semaphore);
    Picture readFile(const std::string& fileName, DispatchSemaphore& semaphore);
    void queueWrite(const std::string& fileName, Picture picture, DispatchSemaphore& semaphore,
                    std::function<void(bool)> done);
    void waitForQueuedWrites(const std::string& fileName);

    const std::string m_folder;
    DispatchSemaphore m_originalImageGetSem{1};
    DispatchSemaphore m_cacheImageSem{1};
    mutable std::mutex m_mutex;
    std::condition_variable m_written;
    std::map<std::string, int> m_queuedWrites;
    std::map<std::string, std::uint64_t> m_fingerprints;
    // Last member: destroyed first, so its queued blocks still find the rest.
    SerialQueue m_writer{DispatchQueue::Default};
};

}  // namespace vantrel
