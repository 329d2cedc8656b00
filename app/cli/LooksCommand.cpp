#include "app/cli/LooksCommand.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "Core/global/ParallelRows.h"
#include "commands/Lomo.h"
#include "commands/NameTables.h"
#include "platform/Files.h"
#include "platform/ForkedWorkers.h"
#include "platform/Picture.h"
#include "platform/PictureCodec.h"
#include "platform/PictureScaling.h"

namespace vantrel::cli {
namespace {

// Runs one look on a copy of `picture` and writes it to `path`; the reason
// when it could not.
std::string RenderLook(const TiBitmapData& picture, int lomo, const std::string& path) {
    auto bitmap = picture.Clone(false);
    if (!bitmap) return "not enough memory";
    srandom(1);  // the sequence of a fresh process, whatever ran before
    if (lomo != LE_NONE && ApplyLomoStyle(*bitmap, lomo) == 0) return "the look failed";
    const Result<Done> written = WritePictureFile(PictureFromBitmap(*bitmap), path);
    return written.ok() ? std::string() : written.error();
}

// The size the looks are made at: the one asked for, held to the largest
// size of a sheet and to the picture's shorter side, so that no look is
// made of a picture enlarged first. A hold is reported on `out`.
int SheetSize(int asked, const Picture& picture, std::ostream& out) {
    const int shorter = std::min(picture.width(), picture.height());
    if (asked <= std::min(shorter, kMaxLooksSize)) return asked;
    if (shorter < kMaxLooksSize) {
        out << "--size " << asked << " is larger than the picture's shorter side, " << shorter
            << " pixels: the looks are made at " << shorter << "\n";
        return shorter;
    }
    out << "--size " << asked << " is above the largest size of a sheet, " << kMaxLooksSize
        << ": the looks are made at " << kMaxLooksSize << "\n";
    return kMaxLooksSize;
}

std::vector<SheetEntry> SheetLooks() {
    std::vector<SheetEntry> entries;
    for (LookSection section : kLookSections) {
        for (const LomoLook& look : LooksInSection(section)) entries.push_back({look, false});
    }
    return entries;
}

}  // namespace

int RunLooks(const LooksOptions& options, std::ostream& out, std::ostream& err) {
    const Result<Picture> input = ReadPictureFile(options.input);
    if (!input.ok()) {
        err << "vantrel looks: " << options.input << ": " << input.error() << "\n";
        return 1;
    }
    auto scaled = ScaleToShorterSide(input.value(), SheetSize(options.size, input.value(), out));
    if (!scaled.ok()) {
        err << "vantrel looks: " << options.input << ": " << scaled.error() << "\n";
        return 1;
    }
    std::error_code folderError;
    std::filesystem::create_directories(options.outputFolder, folderError);
    if (folderError) {
        err << "vantrel looks: " << options.outputFolder << ": " << folderError.message() << "\n";
        return 1;
    }
    const TiBitmapData& picture = *scaled.value();
    std::vector<SheetEntry> entries = SheetLooks();
    const std::string folder = options.outputFolder + "/";
    const std::vector<std::string> errors =
        RunForked(entries.size(), static_cast<unsigned>(TiThreadCount()), [&](std::size_t i) {
            return RenderLook(picture, entries[i].look.lomo,
                              folder + LookFileName(entries[i].look.displayName));
        });
    int failed = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].rendered = errors[i].empty();
        if (entries[i].rendered) continue;
        ++failed;
        err << "vantrel looks: warning: " << entries[i].look.displayName << ": " << errors[i]
            << "\n";
    }
    const std::string title =
        "Looks of " + std::filesystem::path(options.input).filename().string();
    const std::string page =
        LooksIndexHtml(title, entries, picture.GetWidth(), picture.GetHeight());
    const Result<Done> written = WriteFileAtomically(
        folder + "index.html",
        std::span(reinterpret_cast<const unsigned char*>(page.data()), page.size()));
    if (!written.ok()) {
        err << "vantrel looks: " << folder << "index.html: " << written.error() << "\n";
        return 1;
    }
    out << "wrote " << entries.size() - failed << " looks and index.html to "
        << options.outputFolder;
    if (failed > 0) {
        out << "; " << failed << (failed == 1 ? " look failed" : " looks failed")
            << ", marked on the page";
    }
    out << "\n";
    // A sheet with some looks failed is still a sheet; one without any is not.
    return failed < static_cast<int>(entries.size()) ? 0 : 1;
}

}  // namespace vantrel::cli
