#include "quenarch/listing/moment_texts.h"

#include <cstring>
#include <new>

namespace quenarch {

template <typename Entry>
MomentTexts::ZeroedTable<Entry> MomentTexts::zeroedTable(std::size_t entries)
{
    void* table = std::calloc(entries, sizeof(Entry));
    if (table == nullptr) throw std::bad_alloc();
    return ZeroedTable<Entry>(static_cast<Entry*>(table));
}

void MomentTexts::setLocale(const Locale* locale)
{
    locale_ = locale;
    days_.reset();
    minutes_.reset();
}

void MomentTexts::appendShortDate(std::string& out, std::int32_t day)
{
    if (!days_) days_ = zeroedTable<DayText>(keptDays);
    DayText& kept = days_[static_cast<std::uint32_t>(day) % keptDays];
    if (kept.length != 0 && kept.day == day) {
        out.append(kept.text, kept.length);
        return;
    }
    scratch_.clear();
    locale_->appendShortDate(scratch_, datePartsOf(day, 0));
    out.append(scratch_);
    if (scratch_.empty() || scratch_.size() > sizeof kept.text) return;
    kept.day = day;
    kept.length = static_cast<std::uint8_t>(scratch_.size());
    std::memcpy(kept.text, scratch_.data(), scratch_.size());
}

void MomentTexts::appendShortTime(std::string& out, std::int32_t secondOfDay)
{
    if (!minutes_) minutes_ = zeroedTable<MinuteText>(minutesPerDay);
    const auto minute = static_cast<std::size_t>(secondOfDay / 60) % minutesPerDay;
    MinuteText& kept = minutes_[minute];
    if (kept.length != 0) {
        out.append(kept.text, kept.length);
        return;
    }
    DateParts parts;
    parts.hour = static_cast<int>(minute / 60);
    parts.minute = static_cast<int>(minute % 60);
    scratch_.clear();
    locale_->appendShortTime(scratch_, parts);
    out.append(scratch_);
    if (scratch_.empty() || scratch_.size() > sizeof kept.text) return;
    kept.length = static_cast<std::uint8_t>(scratch_.size());
    std::memcpy(kept.text, scratch_.data(), scratch_.size());
}

} // namespace quenarch
