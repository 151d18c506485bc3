#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quenarch {

class QuenArchive;

// What the property page needs from the designer that shows it.
class PropertyPageSite {
public:
    virtual ~PropertyPageSite() = default;
    // The controls selected in the designer, the first one first.
    virtual std::vector<QuenArchive*> selectedControls() = 0;
    // The page holds edits: the designer enables its apply command.
    virtual void setChanged() = 0;
    virtual void processMessages() = 0;
};

// The control's own property page, as a model of its boxes: the archive path text, the file
// browser (drive, folder, files), the view list and the Enabled and Visible check boxes. A
// toolkit dialog shows these values and calls the handlers when the user acts.
class ViewPropertiesPage {
public:
    // The view list's entries; an entry's position is the View number it stands for.
    static constexpr std::array<std::string_view, 4> viewEntries{"0-Icon", "1-SmallIcon", "2-List", "3-Report"};
    // The file box shows the files whose names match one of these masks.
    static constexpr std::string_view filePattern = "*.arj;*.zip;*.cab;*.rar;*.lzh ;*.arc";
    static constexpr std::int32_t unchecked = 0;
    static constexpr std::int32_t checked = 1;

    explicit ViewPropertiesPage(PropertyPageSite& site, std::string startFolder = {});

    // The designer shows the page or changes the selection: the boxes take the first selected
    // control's values. A box whose value changes marks the page changed, as a user's edit does;
    // positioning the view list does not.
    void SelectionChanged();
    // Writes Visible, Enabled and Archive to the first selected control and View to all of them,
    // in that order; an error (a missing archive, say) ends the apply at that step.
    void ApplyChanges();

    // The user's edits.
    void setArchiveText(std::string text);  // the text box changes
    void setVisibleValue(std::int32_t value); // the check box is clicked
    void setEnabledValue(std::int32_t value);
    void setViewIndex(std::int32_t index);  // an entry of the view list is chosen
    void chooseDrive(std::string drive);    // the drive box changes
    void chooseFolder(std::string folder);  // the folder box changes
    void clickFile(std::string_view fileName); // an entry of the file box is clicked

    const std::string& archiveText() const { return archiveText_; }
    std::int32_t visibleValue() const { return visibleValue_; }
    std::int32_t enabledValue() const { return enabledValue_; }
    // -1 while no entry is chosen.
    std::int32_t viewIndex() const { return viewIndex_; }
    const std::string& drive() const { return drive_; }
    const std::string& folder() const { return folder_; }
    const std::string& fileFolder() const { return fileFolder_; }
    bool loading() const { return Loading; }

    // Whether a file name matches the file box's pattern, without regard to letter case; blanks
    // around a mask are not part of it.
    static bool matchesFilePattern(std::string_view fileName);

private:
    void viewListClicked();

    PropertyPageSite& site_;
    bool Loading = false;
    std::string archiveText_;
    std::int32_t visibleValue_ = unchecked;
    std::int32_t enabledValue_ = unchecked;
    std::int32_t viewIndex_ = -1;
    std::string drive_;
    std::string folder_;
    std::string fileFolder_;
};

} // namespace quenarch
