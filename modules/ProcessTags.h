#pragma once
// The tag engine: the catalogue of the fourteen tag items, the builder that
// turns a form's ticks and texts into the tag text and the error list, and the
// default items kept in the settings store. No window code lives here; the
// windows are reached through the ItemControls interface below.

#include <QString>

#include <array>
#include <string>

namespace ProcessTags {

// One item of the catalogue. All texts are ASCII literals.
struct TagItem {
    const char *key;             // value name in the store; its check boxes are "chk" + key
    const char *caption;         // caption of its check box on the main window
    const char *valueField;      // control whose text is the value; nullptr for the wrapper
    const char *optionalField;   // a second value added only when not empty (Refresh's URL)
    const char *before;          // text before the value
    const char *optionalBefore;  // text before the optional value
    const char *after;           // text after the value, line end included
    const char *errorMessage;    // listed when ticked with an empty value; nullptr for none

    QString checkBoxName() const;
};

// The fourteen items in output order. The first, IncludeHTML, is the wrapper:
// its `before` opens the tag text and its `after` closes it.
extern const std::array<TagItem, 14> Catalogue;

// A check box's state as the program counts it: only Ticked counts as ticked.
enum CheckValue { Unticked = 0, Ticked = 1, Greyed = 2 };

// A window's controls, found by name. A name the window lacks reads as an
// unticked box or an empty text, and setting it does nothing.
class ItemControls {
public:
    virtual ~ItemControls() = default;
    virtual int checkValue(const QString &checkBoxName) const = 0;
    virtual void setCheckValue(const QString &checkBoxName, int value) = 0;
    virtual QString text(const QString &controlName) const = 0;
};

// The tag text and the error list of the latest BuildTags, lines ending in CRLF.
extern QString strTags;
extern QString strErrors;

// Rewrites strTags and strErrors from the form's ticks and values.
void BuildTags(const ItemControls &controls);

// "Software\Quillfern\Orvane\" + leaf: where the program keeps its settings.
std::string SettingsKeyPath(const char *leaf);

// Move the fourteen item ticks between a form and the store.
void SaveDefaultItems(const ItemControls &controls);
void LoadDefaultItems(ItemControls &controls);

}  // namespace ProcessTags
