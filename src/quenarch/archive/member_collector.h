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
    void addMember(const ArchiveMember& member) override { members.push_back(member); }
    void archiveInvalid() override { invalid = true; }

    std::string format;
    std::string comment;
    std::vector<ArchiveMember> members;
    bool invalid = false;
};

} // namespace quenarch
