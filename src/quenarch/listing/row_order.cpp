#include "quenarch/listing/row_order.h"

#include "quenarch/base/ascii_case.h"
#include "quenarch/base/text_case.h"
#include "quenarch/listing/large_block_resource.h"

#include <algorithm>
#include <cstring>
#include <memory_resource>
#include <numeric>
#include <string>
#include <unordered_map>

namespace quenarch {
namespace {

struct SortKey {
    double value = 0;
    std::string_view folded; // when there is no value
    bool hasValue = false;
};

// Texts in the form in which letter case makes no difference, kept until the sort is done.
class FoldedTexts {
public:
    std::string_view fold(std::string_view text)
    {
        char* copy = keep(text);
        if (lowerAsciiLetters(copy, text.size())) return {copy, text.size()};
        const std::string folded = foldCase(text);
        return {keep(folded), folded.size()};
    }

    // Texts the list keeps once for many rows (file types) are folded once.
    std::string_view foldShared(std::string_view text)
    {
        const auto [entry, added] = shared_.try_emplace(text.data(), std::string_view());
        if (added || entry->second.data() == nullptr) entry->second = fold(text);
        return entry->second;
    }

private:
    char* keep(std::string_view text)
    {
        char* copy = static_cast<char*>(buffer_.allocate(std::max<std::size_t>(text.size(), 1), 1));
        if (!text.empty()) std::memcpy(copy, text.data(), text.size());
        return copy;
    }

    LargeBlockResource blocks_;
    std::pmr::monotonic_buffer_resource buffer_{&blocks_};
    std::unordered_map<const char*, std::string_view> shared_;
};

// A moment as seconds on one line, so that times on days before day 0 order as they fall.
double secondsOf(AutomationDate date) { return static_cast<double>(dayNumber(date)) * 86400 + secondOfDay(date); }

} // namespace

std::vector<std::size_t> sortedPositions(const ListView& list, std::size_t column, SortKind kind, bool descending)
{
    const std::size_t count = list.count();
    std::vector<SortKey> keys(count);
    FoldedTexts folded;
    std::string scratch;
    for (std::size_t i = 0; i < count; ++i) {
        const ListRow row = list.row(i + 1);
        SortKey& key = keys[i];
        if (kind == SortKind::Number) {
            if (const std::optional<double> value = row.number(column)) key = {*value, {}, true};
        } else if (kind == SortKind::Moment) {
            if (const std::optional<AutomationDate> moment = row.moment(column)) key = {secondsOf(*moment), {}, true};
        }
        if (key.hasValue) continue;
        const std::string_view text = row.text(column, scratch);
        key.folded = text.data() == scratch.data() ? folded.fold(text) : folded.foldShared(text);
    }

    const auto less = [&](std::size_t a, std::size_t b) {
        const SortKey& x = keys[a];
        const SortKey& y = keys[b];
        if (x.hasValue != y.hasValue) return x.hasValue;
        if (x.hasValue) return x.value < y.value;
        return x.folded < y.folded;
    };
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    if (descending)
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
    else
        std::stable_sort(order.begin(), order.end(), less);
    return order;
}

} // namespace quenarch
