#pragma once

#include "quenarch/archive/reader_frame.h"

#include <string>
#include <vector>

namespace quenarch {

// A sink that keeps what a reader reports, in order.
class MemberCollector final : public MemberSink {
public:
    void beginArchive(std::string_view formatExtension) override
    {
        format = formatExtension;
        comment.clear();
    }
    void setComment(std::string text) override { comment = std::move(text); }
    void expectMembers(std::uint64_t count) override { members.reserve(members.size() + static_cast<std::size_t>(count)); }
    void addMember(ArchiveMember&& member) override { members.push_back(std::move(member)); }
    void archiveInvalid() override { invalid = true; }

    std::string format;
    std::string comment;
    std::vector<ArchiveMember> members;
    bool invalid = false;
};

} // namespace quenarch
