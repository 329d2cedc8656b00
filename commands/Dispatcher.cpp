#include "commands/Dispatcher.h"

#include <array>
#include <new>

#include "Core/global/TiAssert.h"
#include "commands/DispatchRows.h"
#include "commands/EffectsProcesser.h"
#include "commands/ErrorManager.h"
#include "commands/NamedActions.h"

namespace vantrel {
namespace {

constexpr const char kMemoryError[] = "Can not allocate memory!";

using CommandRow = bool (*)(const ActionCommand& command, CommandRun& run);

template <typename>
struct RowTraits;
template <typename Command>
struct RowTraits<bool (*)(const Command&, CommandRun&)> {
    using CommandType = Command;
};

// Calls a row with the command as its subclass. Commands from
// toActionCommandsArray already are; a base-class command of the same name
// (made from a bare dictionary) is read through a typed copy.
template <auto Row>
bool TypedRow(const ActionCommand& command, CommandRun& run) {
    using Command = typename RowTraits<decltype(Row)>::CommandType;
    if (const auto* typed = dynamic_cast<const Command*>(&command)) return Row(*typed, run);
    const Command copy(command.dic());
    return Row(copy, run);
}

struct RowEntry {
    int number;
    CommandRow row;
};

template <auto Row>
constexpr RowEntry Entry() {
    return {RowTraits<decltype(Row)>::CommandType::kCmd, &TypedRow<Row>};
}

bool NotAvailable(const ActionCommand&, CommandRun& run) {
    return FailCommand(std::string(run.name) + " is not available in this build");
}

// Every command of the command list with its row; a number without an entry
// is not available.
#define VANTREL_ROW_ENTRY(name, row) Entry<rows::row>(),
constexpr RowEntry kRows[] = {VANTREL_COMMANDS(VANTREL_ROW_ENTRY)};
#undef VANTREL_ROW_ENTRY

constexpr std::array<CommandRow, kCommandCount> MakeTable() {
    std::array<CommandRow, kCommandCount> table{};
    table.fill(&NotAvailable);
    for (const RowEntry& entry : kRows) {
        // Reached while the table compiles: a command listed twice is an error.
        if (table[entry.number] != &NotAvailable) throw "a command has two rows";
        table[entry.number] = entry.row;
    }
    return table;
}

constexpr std::array<CommandRow, kCommandCount> kTable = MakeTable();

// Written so that NaN fails the test for "in range" and is clamped like any
// other wild value; for numbers they are the plain comparisons.
bool BelowZero(float value) {
    return !(value >= 0);
}

bool NotPositive(float value) {
    return !(value > 0);
}

}  // namespace

Rect ClampRegion(const Rect& rect, int width, int height) {
    Rect r = rect;
    if (BelowZero(r.x)) r.x = 0;
    if (BelowZero(r.y)) r.y = 0;
    if (r.x > static_cast<float>(width - 1)) r.x = static_cast<float>(width - 1);
    if (r.y > static_cast<float>(height - 1)) r.y = static_cast<float>(height - 1);
    if (NotPositive(r.width) || r.width > static_cast<float>(width))
        r.width = static_cast<float>(width);
    if (NotPositive(r.height) || r.height > static_cast<float>(height)) {
        r.height = static_cast<float>(height);
    }
    if (r.x + r.width > static_cast<float>(width)) r.width = static_cast<float>(width) - r.x;
    if (r.y + r.height > static_cast<float>(height)) r.height = static_cast<float>(height) - r.y;
    return r;
}

int ScaledParam(int value, double paramScale) {
    return TiTrunc(static_cast<double>(value) * paramScale);
}

float ScaledParam(float value, double paramScale) {
    return static_cast<float>(static_cast<double>(value) * paramScale);
}

Point ScaledParam(const Point& value, double paramScale) {
    return {ScaledParam(value.x, paramScale), ScaledParam(value.y, paramScale)};
}

Rect ScaledParam(const Rect& value, double paramScale) {
    return {ScaledParam(value.x, paramScale), ScaledParam(value.y, paramScale),
            ScaledParam(value.width, paramScale), ScaledParam(value.height, paramScale)};
}

bool IsCommandAvailable(int number) {
    return number >= 0 && number < kCommandCount && kTable[number] != &NotAvailable;
}

bool FailCommand(const std::string& message) {
    ErrorManager::sharedErrorManager().setErrorString(message);
    return false;
}

bool OperationResult(int result, const CommandRun& run) {
    if (result != 0) return true;
    return FailCommand(std::string(run.name) +
                       " was refused: its parameters are out of range, the picture's format "
                       "does not suit it, or memory is short");
}

bool EffectsProcesser::runActionCommand(const ActionCommand& command) {
    const int number = command.getCmd();
    const std::string_view name =
        number >= 0 && number < kCommandCount ? kCommandNames[number] : std::string_view("command");
    if (!m_bitmap) return FailCommand(std::string(name) + " has no bitmap to work on");
    if (m_listRunning) {
        // Counted before the list ran; this holds even if that count was off.
        if (m_commandsRun >= kMaxListCommands) return FailCommand(TooManyCommandsError());
        ++m_commandsRun;
    }
    try {
        TiBitmapData& bitmap = *m_bitmap;
        const Rect region = ClampRegion(m_selectedRect, bitmap.GetWidth(), bitmap.GetHeight());
        const std::unique_ptr<TiBitmapData> view = bitmap.GetBitmapDataFromRect(
            TiTrunc(region.x), TiTrunc(region.y), TiTrunc(region.width), TiTrunc(region.height));
        if (number < 0 || number >= kCommandCount) return true;
        CommandRun run{*this, bitmap, *view, m_selectedRect, paramScale(), name};
        return kTable[number](command, run);
    } catch (const TiAssertionError& error) {
        return FailCommand(std::string(name) + " failed. " + error.what());
    } catch (const std::bad_alloc&) {
        return FailCommand(kMemoryError);
    }
}

}  // namespace vantrel
