#include "editing/EditJournal.h"

#include <charconv>
#include <cmath>

#include "commands/Json.h"
#include "platform/PhotoLibrary.h"

namespace vantrel {
namespace {

// Doubles are kept as their shortest exact text.
Value ExactNumber(double value) {
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value);
    // Out of the decimal bounds (no scale is): 0, which reads back as no journal.
    return Value(Decimal::fromText(std::string_view(text, written.ptr - text)).value_or(Decimal()));
}

std::optional<double> ReadNumber(const Value* value) {
    if (!value || !value->number()) return std::nullopt;
    const std::string text = value->number()->text();
    double result = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), result);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size()) return std::nullopt;
    return result;
}

std::string Hex(std::uint64_t value) {
    char text[17];
    const auto written = std::to_chars(text, text + sizeof text, value, 16);
    return std::string(text, written.ptr);
}

std::optional<std::uint64_t> ReadHex(const Value& value) {
    const std::string* text = value.text();
    if (!text || text->empty() || text->size() > 16) return std::nullopt;
    std::uint64_t result = 0;
    const auto read = std::from_chars(text->data(), text->data() + text->size(), result, 16);
    if (read.ec != std::errc() || read.ptr != text->data() + text->size()) return std::nullopt;
    return result;
}

bool IsScale(const std::optional<double>& scale) {
    return scale && std::isfinite(*scale) && *scale > 0.0 && *scale <= 1.0;
}

std::optional<std::vector<Array>> ReadHistory(const Value* value) {
    if (!value || !value->array()) return std::nullopt;
    std::vector<Array> history;
    for (const Value& step : *value->array()) {
        if (!step.array()) return std::nullopt;
        for (const Value& command : *step.array()) {
            if (!command.isDictionary()) return std::nullopt;
        }
        history.push_back(*step.array());
    }
    return history;
}

std::optional<std::map<std::string, std::uint64_t>> ReadFingerprints(const Value* value) {
    if (!value || !value->dictionary()) return std::nullopt;
    std::map<std::string, std::uint64_t> fingerprints;
    const Dictionary& entries = *value->dictionary();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::optional<std::uint64_t> fingerprint = ReadHex(entries.valueAt(i));
        if (!fingerprint) return std::nullopt;
        fingerprints[entries.keyAt(i)] = *fingerprint;
    }
    return fingerprints;
}

}  // namespace

std::uint64_t FileFingerprint(std::span<const unsigned char> bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string EditJournalText(const EditJournal& journal) {
    Array history;
    for (const Array& step : journal.history) history.push_back(Value(step));
    Dictionary fingerprints;
    for (const auto& [name, fingerprint] : journal.fingerprints) {
        fingerprints.set(name, Value(Hex(fingerprint)));
    }
    Dictionary root;
    root.set("version", Value(Decimal::fromInteger(kEditJournalVersion)));
    root.set("reference", Value(journal.reference));
    root.set("originalScale", ExactNumber(journal.originalScale));
    root.set("scaleMark", ExactNumber(journal.scaleMark));
    root.set("commandIndex", Value(Decimal::fromInteger(journal.commandIndex)));
    root.set("photoEdited", Value(journal.photoEdited));
    root.set("history", Value(std::move(history)));
    root.set("pictures", Value(std::move(fingerprints)));
    return jsonStringValue(root);
}

std::optional<EditJournal> ParseEditJournal(std::string_view text) {
    if (text.size() > kMaxEditJournalBytes) return std::nullopt;
    const std::optional<Dictionary> root = dictionaryWithJSONString(text);
    if (!root) return std::nullopt;
    const std::optional<double> version = ReadNumber(root->find("version"));
    if (!version || *version != kEditJournalVersion) return std::nullopt;

    EditJournal journal;
    const Value* reference = root->find("reference");
    if (!reference || !reference->text()) return std::nullopt;
    journal.reference = *reference->text();
    if (!journal.reference.empty() && !PhotoLibrary::IsValidReference(journal.reference)) {
        return std::nullopt;
    }
    const std::optional<double> originalScale = ReadNumber(root->find("originalScale"));
    const std::optional<double> scaleMark = ReadNumber(root->find("scaleMark"));
    if (!IsScale(originalScale) || !IsScale(scaleMark)) return std::nullopt;
    journal.originalScale = *originalScale;
    journal.scaleMark = *scaleMark;
    std::optional<std::vector<Array>> history = ReadHistory(root->find("history"));
    if (!history) return std::nullopt;
    journal.history = std::move(*history);
    const std::optional<double> index = ReadNumber(root->find("commandIndex"));
    if (!index || *index < 0 || *index > static_cast<double>(journal.history.size()) ||
        *index != std::floor(*index)) {
        return std::nullopt;
    }
    journal.commandIndex = static_cast<int>(*index);
    const Value* edited = root->find("photoEdited");
    if (!edited || !edited->boolean()) return std::nullopt;
    journal.photoEdited = *edited->boolean();
    std::optional<std::map<std::string, std::uint64_t>> fingerprints =
        ReadFingerprints(root->find("pictures"));
    if (!fingerprints) return std::nullopt;
    journal.fingerprints = std::move(*fingerprints);
    return journal;
}

}  // namespace vantrel
