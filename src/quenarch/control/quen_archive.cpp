#include "quenarch/control/quen_archive.h"

#include "quenarch/archive/archive_formats.h"
#include "quenarch/base/file_search.h"
#include "quenarch/control/module_state.h"
#include "quenarch/listing/builtin_pictures.h"
#include "quenarch/listing/file_types.h"
#include "quenarch/listing/invalid_row.h"
#include "quenarch/listing/regional_settings.h"
#include "quenarch/base/automation_error.h"
#include "quenarch/base/blank_text.h"
#include "quenarch/base/text_case.h"
#include "quenarch/base/utf8.h"
#include "quenarch/control/archive_source.h"
#include "quenarch/platform/memory_file.h"

#include <new>

namespace quenarch {
namespace {

constexpr const char* errorSource = "Quen Archive";
constexpr std::uint32_t defaultBackColor = 0x80000005; // system colour: window background
constexpr std::uint32_t defaultForeColor = 0x80000012; // system colour: button text

AutomationError pathNotFound() { return {75, errorSource, "Path/File not found"}; }
AutomationError notAnArchive() { return {321, errorSource, "This is not a valid archive"}; }

std::string lastCharacters(std::string_view text, std::size_t count)
{
    std::size_t start = text.size();
    while (count > 0 && start > 0) {
        --start;
        if (!isUtf8Continuation(text[start])) --count;
    }
    return std::string(text.substr(start));
}

// The view mode a View text selects: the value of its first character when that is a digit.
std::int32_t viewModeOf(std::string_view viewText)
{
    return !viewText.empty() && viewText.front() >= '0' && viewText.front() <= '9' ? viewText.front() - '0' : 0;
}

} // namespace

std::vector<ColumnHeader> listingColumns()
{
    return {
        {"Name", 1500, ColumnAlignment::Left, SortKind::Text},
        {"Size", 1000, ColumnAlignment::Right, SortKind::Number},
        {"Packed", 1000, ColumnAlignment::Right, SortKind::Number},
        {"Type", 1440, ColumnAlignment::Left, SortKind::Text},
        {"Modified", 1440, ColumnAlignment::Left, SortKind::Moment},
        {"Date", 0, ColumnAlignment::Left, SortKind::Moment},
        {"CRC", 0, ColumnAlignment::Left, SortKind::Text},
    };
}

// Turns what a reader finds into rows and into the state of the last open.
class QuenArchive::RowSink final : public MemberSink {
public:
    explicit RowSink(QuenArchive& control) : control_(control) {}

    void beginArchive(std::string_view formatExtension) override
    {
        ModuleState& state = moduleState();
        state.ArchiveComment.clear();
        state.ArchiveTypeText = GetFileTypeName(*control_.platform_.fileTypes, formatExtension);
        control_.rowBuilder_.beginArchive();
    }
    void expectMembers(std::uint64_t count) override { control_.fileview_.reserve(static_cast<std::size_t>(count)); }
    void setComment(std::string comment) override { moduleState().ArchiveComment = std::move(comment); }
    void addMember(ArchiveMember&& m) override
    {
        control_.rowBuilder_.AddListItem({.baseName = m.baseName,
                                          .extension = m.extension,
                                          .path = m.path,
                                          .isDirectory = m.isDirectory,
                                          .unpackedSize = m.unpackedSize,
                                          .packedSize = m.packedSize,
                                          .date = m.date,
                                          .time = m.time,
                                          .crc = m.crc});
    }
    void archiveInvalid() override
    {
        ModuleState& state = moduleState();
        AddInvalidArchiveRow(control_.fileview_, state.ShortDateFormat, *control_.platform_.locale);
        state.ArchiveTypeText = invalidArchiveText;
    }
    void processPendingMessages() override { control_.host_.processMessages(); }

private:
    QuenArchive& control_;
};

QuenArchive::QuenArchive(Host& host, Platform platform)
    : host_(host),
      platform_(std::move(platform)),
      fileview_(listingColumns()),
      rowBuilder_(fileview_, imageList2_, imageList4_, imageList3_, platform_),
      rowSink_(std::make_unique<RowSink>(*this))
{
    fileview_.setLocale(platform_.locale);
    fileview_.setWidth(host_.scaleWidth());
    fileview_.setHeight(host_.scaleHeight());
    // A control starts in report view. ViewText is empty here, so it never reads as a mode.
    try {
        if (viewModeOf(ViewText) == 0) {
            ViewText = "3";
            fileview_.setView(3);
        }
    } catch (const AutomationError&) {
        // Creation skips a step that fails.
    }
}

QuenArchive::~QuenArchive() = default;

void QuenArchive::ReadProperties(PropertyBag& bag)
try {
    ModuleState& state = moduleState();
    const RegionalSettings regional = LoadRegionalSettings(*platform_.ini, platform_.registry.get(), *platform_.locale);
    state.ShortDateFormat = regional.shortDateFormat;
    state.DateSeparator = regional.dateSeparator;
    state.TimeSeparator = regional.timeSeparator;
    GetScreenColorDepth();

    const Locale& locale = *platform_.locale;
    fileview_.setBackColor(static_cast<std::uint32_t>(toLong(bag.readProperty("BackColor", static_cast<std::int32_t>(defaultBackColor)), locale)));
    fileview_.setForeColor(static_cast<std::uint32_t>(toLong(bag.readProperty("ForeColor", static_cast<std::int32_t>(defaultForeColor)), locale)));
    host_.setEnabled(toBoolean(bag.readProperty("Enabled", true), locale));
    VisibleFlag = toBoolean(bag.readProperty("Visible", true), locale);
    // The list follows the stored flag too, so that Visible never reads false over a shown list.
    fileview_.setVisible(VisibleFlag);
    ViewText = toText(bag.readProperty("View", "3"), locale);
    fileview_.setView(viewModeOf(ViewText));
    SetFont(toFont(bag.readProperty("Font", fileview_.font())));
    ListItems = &fileview_;
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::WriteProperties(PropertyBag& bag)
try {
    bag.writeProperty("BackColor", static_cast<std::int32_t>(fileview_.backColor()), static_cast<std::int32_t>(defaultBackColor));
    bag.writeProperty("ForeColor", static_cast<std::int32_t>(fileview_.foreColor()), static_cast<std::int32_t>(defaultForeColor));
    bag.writeProperty("Font", Font(), fileview_.font());
    bag.writeProperty("Enabled", Enabled(), true);
    bag.writeProperty("Visible", VisibleFlag, true);
    bag.writeProperty("View", ViewText, "3");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::Resize()
try {
    fileview_.setLeft(0);
    fileview_.setWidth(host_.scaleWidth());
    fileview_.setHeight(host_.scaleHeight());
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

Variant QuenArchive::Archive() const
try {
    return Variant(ArchivePath);
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::LetArchive(const Variant& value) { assignArchive(value, {}); }

void QuenArchive::openArchive(const std::string& path, const ArchiveSource& source) { assignArchive(Variant(path), source); }

void QuenArchive::assignArchive(const Variant& value, const ArchiveSource& source)
try {
    std::string text = toText(value, *platform_.locale);
    ArchivePath = text;
    moduleState().LastArchivePath = std::move(text);
    host_.propertyChanged("Archive");
    OpenArchive(source);
} catch (const std::bad_alloc&) {
    // Whatever step ran out, the list shows no rows of either archive. Emptying it frees
    // memory; only an observer's notice of it could still want some, and that must not replace
    // the error the host is owed.
    try {
        fileview_.clear();
    } catch (const std::bad_alloc&) {
    }
    throw errors::outOfMemory();
}

void QuenArchive::OpenArchive(const ArchiveSource& source)
{
    fileview_.clear();
    const std::string_view path = trimmed(ArchivePath, " ");
    if (path.empty()) return;
    // Without a chosen reader, the last three characters must name one.
    if (!source.format && utf8CharacterCount(path) < 3) throw notAnArchive();

    // The stored path reads back upper-cased, but the file looked for and opened is the one the
    // host named.
    const std::string named = ArchivePath;
    ArchivePath = toUpper(ArchivePath);
    if (!source.bytes && FileExists(named) == 0) throw pathNotFound();
    LoadImageLists(fileview_, imageList2_, imageList4_, moduleState().ScreenColorDepth);
    const std::optional<ArchiveFormat> format = source.format ? source.format : formatForExtension(lastCharacters(ArchivePath, 3));
    if (!format) throw notAnArchive();

    const std::filesystem::path file = source.bytes ? std::filesystem::path() : locateFile(named).value_or(std::filesystem::path(named));
    // The batch of list changes ends however the reader leaves, outside any destructor: ending
    // it sorts the rows, which may need memory.
    fileview_.beginUpdate();
    try {
        if (source.bytes) {
            MemoryFile bytes(*source.bytes);
            ByteSource bytesSource(bytes);
            readArchive(*format, bytesSource, *rowSink_, platform_.codec.get());
        } else {
            readArchive(*format, file, *rowSink_, platform_.codec.get());
        }
    } catch (const std::bad_alloc&) {
        // A listing cut short would pass for the whole archive: show none.
        fileview_.clear();
        fileview_.endUpdate();
        throw;
    } catch (...) {
        fileview_.endUpdate();
        throw;
    }
    fileview_.endUpdate();
}

std::int32_t QuenArchive::GetScreenColorDepth()
{
    moduleState().ScreenColorDepth = platform_.display->colorDepth();
    return moduleState().ScreenColorDepth;
}

std::uint32_t QuenArchive::BackColor() const { return fileview_.backColor(); }

void QuenArchive::LetBackColor(std::uint32_t color)
try {
    fileview_.setBackColor(color);
    host_.propertyChanged("BackColor");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

std::uint32_t QuenArchive::ForeColor() const { return fileview_.foreColor(); }

void QuenArchive::LetForeColor(std::uint32_t color)
try {
    fileview_.setForeColor(color);
    host_.propertyChanged("ForeColor");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

FontRef QuenArchive::Font() const { return fileview_.font(); }

void QuenArchive::SetFont(FontRef font)
try {
    fileview_.setFont(std::move(font));
    host_.propertyChanged("Font");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::LetFont(const FontRef& font)
try {
    // By value the list takes a copy: later changes to the host's object do not reach it.
    if (!font) throw errors::objectRequired();
    fileview_.setFont(std::make_shared<quenarch::Font>(*font));
    host_.propertyChanged("Font");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

bool QuenArchive::Enabled() const { return host_.enabled(); }

void QuenArchive::LetEnabled(bool enabled)
try {
    host_.setEnabled(enabled);
    host_.propertyChanged("Enabled");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

bool QuenArchive::Visible() const { return VisibleFlag; }

void QuenArchive::LetVisible(bool visible)
try {
    VisibleFlag = visible;
    fileview_.setVisible(visible);
    host_.propertyChanged("Visible");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

Variant QuenArchive::View() const
try {
    return Variant(ViewText);
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

void QuenArchive::LetView(const Variant& value)
try {
    ViewText = toText(value, *platform_.locale);
    if (isBlank(ViewText)) ViewText = "3";
    fileview_.setView(viewModeOf(ViewText));
    host_.propertyChanged("View");
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

std::string QuenArchive::Version() const { return "1.0"; }

void QuenArchive::ShowAbout()
try {
    host_.showAbout();
} catch (const std::bad_alloc&) {
    throw errors::outOfMemory();
}

} // namespace quenarch
