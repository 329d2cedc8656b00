#include "support/CommandLists.h"

#include <fstream>

#include "commands/ErrorManager.h"
#include "platform/Resources.h"

namespace vantrel::test {

std::unique_ptr<TiBitmapData> WithRegion(const TiBitmapData& bitmap, int x, int y, int width,
                                         int height,
                                         const std::function<void(TiBitmapData&)>& operation) {
    std::unique_ptr<TiBitmapData> copy = bitmap.Clone(false);
    const std::unique_ptr<TiBitmapData> view = copy->GetBitmapDataFromRect(x, y, width, height);
    operation(*view);
    return copy;
}

ActionsResource::ActionsResource(const std::string& path, const std::string& actions) {
    std::ofstream(path) << "{\"actions\": [" << actions << "]}";
    setResourceFile("actions", "json", path);
}

ActionsResource::~ActionsResource() {
    setResourceFile("actions", "json", "");
}

std::string RecordedError() {
    return ErrorManager::sharedErrorManager().errorString();
}

}  // namespace vantrel::test
