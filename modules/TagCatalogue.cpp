#include "ProcessTags.h"

namespace ProcessTags {

QString TagItem::checkBoxName() const
{
    return QLatin1String("chk") + QLatin1String(key);
}

// clang-format off
const std::array<TagItem, 14> Catalogue = {{
    {"IncludeHTML", "Include Leading and Trailing HTML", nullptr, nullptr,
     "<html>\r\n<head>\r\n", nullptr, "</head>\r\n</html>\r\n", nullptr},
    {"Title", "Title", "txtTitle", nullptr,
     "<title>", nullptr, "</title>\r\n",
     "Title was checked but there was no value assigned to it"},
    {"Email", "Email", "txtEmail", nullptr,
     "<link REV=\"made\" href=\"mailto:", nullptr, "\">\r\n",
     "Email was checked but there was no value assigned to it"},
    {"Refresh", "Refresh", "txtRefreshSeconds", "txtRefreshURL",
     "<META HTTP-EQUIV=\"refresh\" CONTENT=\"", "; URL=", "\">\r\n",
     "Refresh was checked but there was no value assigned to Refresh Seconds"},
    {"Keywords", "Keywords", "txtKeywords", nullptr,
     "<META NAME=\"keywords\" CONTENT=\"", nullptr, "\">\r\n",
     "Keywords was checked but there was no value assigned to it"},
    {"Description", "Description", "txtDescription", nullptr,
     "<META NAME=\"description\" CONTENT=\"", nullptr, "\">\r\n",
     "Description was checked but there was no value assigned to it"},
    {"Copyright", "Copyright", "txtCopyright", nullptr,
     "<META NAME=\"copyright\" CONTENT=\"", nullptr, "\">\r\n",
     "Copyright was checked but there was no value assigned to it"},
    {"RevisitAfter", "Revisit After", "txtRevisitAfter", nullptr,
     "<META NAME=\"revisit-after\" CONTENT=\"", nullptr, "\">\r\n",
     "Revisit After was checked but there was no value assigned to it"},
    {"Robot", "Robot", "cboRobot", nullptr,
     "<META NAME=\"Robot\" CONTENT=\"", nullptr, "\">\r\n",
     "Robot was checked but there was no value assigned to it"},
    {"DCTitle", "DC.Title (Same as Title)", "txtTitle", nullptr,
     "<META NAME=\"DC.Title\" CONTENT=\"", nullptr, "\">\r\n",
     "DC.Title was checked but there was no value assigned to Title"},
    {"Creator", "Creator", "txtCreator", nullptr,
     "<META NAME=\"DC.Creator\" CONTENT=\"", nullptr, "\">\r\n",
     "Creator was checked but there was no value assigned to it"},
    {"DCDescription", "DC.Description (Same as Description)", "txtDescription", nullptr,
     "<META NAME=\"DC.Description\" CONTENT=\"", nullptr, "\">\r\n",
     "DC.Description was checked but there was no value assigned to Description"},
    {"Publisher", "Publisher", "txtPublisher", nullptr,
     "<META NAME=\"DC.Publisher\" CONTENT=\"", nullptr, "\">\r\n",
     "Publisher was checked but there was no value assigned to it"},
    {"Contributors", "Contributors", "txtContributors", nullptr,
     "<META NAME=\"DC.Contributors\" CONTENT=\"", nullptr, "\">\r\n",
     "Contributors was checked but there was no value assigned to it"},
}};
// clang-format on

}  // namespace ProcessTags
