#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch::freedesktop {

// The comment of a type's XML file, as update-mime-database writes it, in the first of the
// languages ("de", "pt_BR", "default" for the comment without xml:lang) that has one that is
// not empty; "" when none has. Only <comment> elements directly inside <mime-type> count, a
// later one in a language replaces an earlier one, and entities and character references are
// decoded. Nothing when the text has no comment at all, or is no such file.
std::optional<std::string> commentOfMimeTypeXml(std::string_view xml, const std::vector<std::string>& languages);

} // namespace quenarch::freedesktop
