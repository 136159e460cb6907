#include "ProcessTags.h"

#include <vector>

namespace ProcessTags {

QString strTags;
QString strErrors;

namespace {

const QLatin1String LineEnd("\r\n");

bool isTicked(const ItemControls &controls, const TagItem &item)
{
    return controls.checkValue(item.checkBoxName()) == Ticked;
}

// A ticked item's line: the value and, where the item has one, the optional
// value, read once and inserted unchanged.
struct TagLine {
    const TagItem *item;
    QString value;
    QString optional;

    qsizetype size() const
    {
        qsizetype n = qstrlen(item->before) + value.size() + qstrlen(item->after);
        if (!optional.isEmpty())
            n += qstrlen(item->optionalBefore) + optional.size();
        return n;
    }
};

void append(QString &tags, const TagLine &line)
{
    tags += QLatin1String(line.item->before);
    tags += line.value;
    if (!line.optional.isEmpty()) {
        tags += QLatin1String(line.item->optionalBefore);
        tags += line.optional;
    }
    tags += QLatin1String(line.item->after);
}

}  // namespace

// The values are read first and the tag text is then written into a string of
// the exact final size, so every character is copied once: pasted texts of
// many megabytes cost no more than copying them.
void BuildTags(const ItemControls &controls)
{
    strErrors.clear();
    strTags.clear();

    const TagItem &wrapper = Catalogue.front();
    const bool wrapped = isTicked(controls, wrapper);
    qsizetype size = wrapped ? qstrlen(wrapper.before) + qstrlen(wrapper.after) : 0;

    std::vector<TagLine> lines;
    for (auto item = Catalogue.begin() + 1; item != Catalogue.end(); ++item) {
        if (!isTicked(controls, *item))
            continue;
        TagLine line{&*item, controls.text(QLatin1String(item->valueField)), QString()};
        if (item->optionalField)
            line.optional = controls.text(QLatin1String(item->optionalField));
        // Empty means the zero-length text: blanks count as a value.
        if (line.value.isEmpty()) {
            strErrors += QLatin1String(item->errorMessage);
            strErrors += LineEnd;
        }
        size += line.size();
        lines.push_back(std::move(line));
    }

    strTags.reserve(size);
    if (wrapped)
        strTags += QLatin1String(wrapper.before);
    for (const TagLine &line : lines)
        append(strTags, line);
    if (wrapped)
        strTags += QLatin1String(wrapper.after);
}

}  // namespace ProcessTags
