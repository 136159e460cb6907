#include "ProcessTags.h"

namespace ProcessTags {

QString strTags;
QString strErrors;

namespace {

const QLatin1String LineEnd("\r\n");

bool isTicked(const Form &form, const TagItem &item)
{
    return form.checkValue(item.checkBoxName()) == Ticked;
}

// Appends the item's line; the value and the optional value go in unchanged.
void appendTagLine(QString &tags, const QString &value, const Form &form, const TagItem &item)
{
    tags += QLatin1String(item.before);
    tags += value;
    if (item.optionalField) {
        const QString optional = form.text(QLatin1String(item.optionalField));
        if (!optional.isEmpty()) {
            tags += QLatin1String(item.optionalBefore);
            tags += optional;
        }
    }
    tags += QLatin1String(item.after);
}

}  // namespace

// Each append copies once and QString grows geometrically, so the cost is
// linear in the size of the values however large the pasted texts are.
void BuildTags(const Form &form)
{
    strErrors.clear();
    strTags.clear();

    const TagItem &wrapper = Catalogue.front();
    const bool wrapped = isTicked(form, wrapper);
    if (wrapped)
        strTags += QLatin1String(wrapper.before);

    for (auto item = Catalogue.begin() + 1; item != Catalogue.end(); ++item) {
        if (!isTicked(form, *item))
            continue;
        // Empty means the zero-length text: blanks count as a value.
        const QString value = form.text(QLatin1String(item->valueField));
        appendTagLine(strTags, value, form, *item);
        if (value.isEmpty()) {
            strErrors += QLatin1String(item->errorMessage);
            strErrors += LineEnd;
        }
    }

    if (wrapped)
        strTags += QLatin1String(wrapper.after);
}

}  // namespace ProcessTags
