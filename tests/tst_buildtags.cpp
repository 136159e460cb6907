// The tag builder, byte for byte: one table row per form state, with the tag
// text and the error list it must produce.

#include "FakeForm.h"

#include <QtTest>

using namespace ProcessTags;
using Fields = QMap<QString, QString>;

namespace {

// Joins lines, each followed by CRLF.
QString lines(const QStringList &list)
{
    QString text;
    for (const QString &line : list)
        text += line + QLatin1String("\r\n");
    return text;
}

FakeForm makeForm(const QStringList &tickedKeys, const Fields &fields, int tickValue = Ticked)
{
    FakeForm form;
    for (const QString &key : tickedKeys)
        form.checks[QLatin1String("chk") + key] = tickValue;
    form.texts = fields;
    return form;
}

}  // namespace

class TestBuildTags : public QObject {
    Q_OBJECT

private slots:
    void build_data();
    void build();
    void greyedBoxesCountAsUnticked();
    void everyItemInCatalogueOrder();
    void everyErrorInCatalogueOrder();
    void secondCallStartsAfresh();
    void checkBoxNamesFollowKeys();
};

void TestBuildTags::build_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("tags");
    QTest::addColumn<QString>("errors");

    QTest::newRow("worked example")
        << QStringList{"IncludeHTML", "Title", "Refresh", "Robot"}
        << Fields{{"txtTitle", "Page Title"}, {"txtRefreshSeconds", "12"}, {"cboRobot", "NONE"}}
        << QStringLiteral("<html>\r\n<head>\r\n<title>Page Title</title>\r\n"
                          "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">\r\n"
                          "<META NAME=\"Robot\" CONTENT=\"NONE\">\r\n</head>\r\n</html>\r\n")
        << QString();
    QTest::newRow("ticked without values")
        << QStringList{"Keywords", "DCTitle"} << Fields{}
        << QStringLiteral("<META NAME=\"keywords\" CONTENT=\"\">\r\n"
                          "<META NAME=\"DC.Title\" CONTENT=\"\">\r\n")
        << QStringLiteral("Keywords was checked but there was no value assigned to it\r\n"
                          "DC.Title was checked but there was no value assigned to Title\r\n");
    QTest::newRow("nothing ticked")
        << QStringList{} << Fields{{"txtTitle", "Page Title"}, {"txtKeywords", "a, b"}}
        << QString() << QString();
    QTest::newRow("only the wrapper")
        << QStringList{"IncludeHTML"} << Fields{{"txtTitle", "unused"}}
        << QStringLiteral("<html>\r\n<head>\r\n</head>\r\n</html>\r\n") << QString();
    QTest::newRow("empty title")
        << QStringList{"Title"} << Fields{}
        << lines({"<title></title>"})
        << lines({"Title was checked but there was no value assigned to it"});
    QTest::newRow("a blank is a value")
        << QStringList{"Copyright"} << Fields{{"txtCopyright", " "}}
        << lines({"<META NAME=\"copyright\" CONTENT=\" \">"}) << QString();
    QTest::newRow("nothing is escaped")
        << QStringList{"Title", "Keywords"}
        << Fields{{"txtTitle", "Tom & \"Jerry\" <b>"}, {"txtKeywords", "say \"hi\"&<>"}}
        << lines({"<title>Tom & \"Jerry\" <b></title>",
                  "<META NAME=\"keywords\" CONTENT=\"say \"hi\"&<>\">"})
        << QString();
    QTest::newRow("line breaks of a value kept")
        << QStringList{"Description", "DCDescription"}
        << Fields{{"txtDescription", "one\ntwo\r\nthree"}}
        << QStringLiteral("<META NAME=\"description\" CONTENT=\"one\ntwo\r\nthree\">\r\n"
                          "<META NAME=\"DC.Description\" CONTENT=\"one\ntwo\r\nthree\">\r\n")
        << QString();
    QTest::newRow("refresh with address")
        << QStringList{"Refresh"}
        << Fields{{"txtRefreshSeconds", "12"}, {"txtRefreshURL", "https://example.org"}}
        << lines({"<META HTTP-EQUIV=\"refresh\" CONTENT=\"12; URL=https://example.org\">"})
        << QString();
    QTest::newRow("refresh address without seconds")
        << QStringList{"Refresh"} << Fields{{"txtRefreshURL", "https://example.org"}}
        << lines({"<META HTTP-EQUIV=\"refresh\" CONTENT=\"; URL=https://example.org\">"})
        << lines({"Refresh was checked but there was no value assigned to Refresh Seconds"});
    QTest::newRow("refresh address of one blank")
        << QStringList{"Refresh"} << Fields{{"txtRefreshSeconds", "5"}, {"txtRefreshURL", " "}}
        << lines({"<META HTTP-EQUIV=\"refresh\" CONTENT=\"5; URL= \">"}) << QString();
    QTest::newRow("refresh address unticked")
        << QStringList{"Title"}
        << Fields{{"txtTitle", "T"}, {"txtRefreshSeconds", "5"}, {"txtRefreshURL", "x"}}
        << lines({"<title>T</title>"}) << QString();
    QTest::newRow("title and DC title share an empty field")
        << QStringList{"DCTitle", "Title"} << Fields{}
        << lines({"<title></title>", "<META NAME=\"DC.Title\" CONTENT=\"\">"})
        << lines({"Title was checked but there was no value assigned to it",
                  "DC.Title was checked but there was no value assigned to Title"});
    QTest::newRow("typed robot value")
        << QStringList{"Robot"} << Fields{{"cboRobot", "index, follow"}}
        << lines({"<META NAME=\"Robot\" CONTENT=\"index, follow\">"}) << QString();
    QTest::newRow("wrapper around errors")
        << QStringList{"IncludeHTML", "Email"} << Fields{}
        << lines({"<html>", "<head>", "<link REV=\"made\" href=\"mailto:\">", "</head>", "</html>"})
        << lines({"Email was checked but there was no value assigned to it"});
}

void TestBuildTags::build()
{
    QFETCH(QStringList, ticked);
    QFETCH(Fields, fields);
    QFETCH(QString, tags);
    QFETCH(QString, errors);

    BuildTags(makeForm(ticked, fields));
    QCOMPARE(strTags, tags);
    QCOMPARE(strErrors, errors);
}

void TestBuildTags::greyedBoxesCountAsUnticked()
{
    QStringList all;
    for (const TagItem &item : Catalogue)
        all << QLatin1String(item.key);
    BuildTags(makeForm(all, Fields{{"txtTitle", "T"}}, Greyed));
    QCOMPARE(strTags, QString());
    QCOMPARE(strErrors, QString());
}

namespace {

QStringList allKeys()
{
    QStringList keys;
    for (const TagItem &item : Catalogue)
        keys << QLatin1String(item.key);
    return keys;
}

}  // namespace

void TestBuildTags::everyItemInCatalogueOrder()
{
    const Fields fields{{"txtTitle", "T"},        {"txtEmail", "me@example.org"},
                        {"txtRefreshSeconds", "3"}, {"txtRefreshURL", "https://x.org"},
                        {"txtKeywords", "k"},       {"txtDescription", "d"},
                        {"txtCopyright", "c"},      {"txtRevisitAfter", "30 Days"},
                        {"cboRobot", "ALL"},        {"txtCreator", "cr"},
                        {"txtPublisher", "p"},      {"txtContributors", "co"}};
    BuildTags(makeForm(allKeys(), fields));
    QCOMPARE(strTags, lines({"<html>",
                             "<head>",
                             "<title>T</title>",
                             "<link REV=\"made\" href=\"mailto:me@example.org\">",
                             "<META HTTP-EQUIV=\"refresh\" CONTENT=\"3; URL=https://x.org\">",
                             "<META NAME=\"keywords\" CONTENT=\"k\">",
                             "<META NAME=\"description\" CONTENT=\"d\">",
                             "<META NAME=\"copyright\" CONTENT=\"c\">",
                             "<META NAME=\"revisit-after\" CONTENT=\"30 Days\">",
                             "<META NAME=\"Robot\" CONTENT=\"ALL\">",
                             "<META NAME=\"DC.Title\" CONTENT=\"T\">",
                             "<META NAME=\"DC.Creator\" CONTENT=\"cr\">",
                             "<META NAME=\"DC.Description\" CONTENT=\"d\">",
                             "<META NAME=\"DC.Publisher\" CONTENT=\"p\">",
                             "<META NAME=\"DC.Contributors\" CONTENT=\"co\">",
                             "</head>",
                             "</html>"}));
    QCOMPARE(strErrors, QString());
}

void TestBuildTags::everyErrorInCatalogueOrder()
{
    BuildTags(makeForm(allKeys(), Fields{{"txtRefreshURL", "only the address"}}));
    const QString it = QStringLiteral(" was checked but there was no value assigned to it");
    QCOMPARE(strErrors,
             lines({"Title" + it, "Email" + it,
                    "Refresh was checked but there was no value assigned to Refresh Seconds",
                    "Keywords" + it, "Description" + it, "Copyright" + it, "Revisit After" + it,
                    "Robot" + it,
                    "DC.Title was checked but there was no value assigned to Title",
                    "Creator" + it,
                    "DC.Description was checked but there was no value assigned to Description",
                    "Publisher" + it, "Contributors" + it}));
    QCOMPARE(strTags.count(QLatin1String("\r\n")), 17);
}

void TestBuildTags::secondCallStartsAfresh()
{
    const FakeForm withErrors = makeForm({"Title", "Keywords"}, Fields{{"txtTitle", "T"}});
    BuildTags(withErrors);
    const QString firstTags = strTags;
    const QString firstErrors = strErrors;
    BuildTags(withErrors);
    QCOMPARE(strTags, firstTags);
    QCOMPARE(strErrors, firstErrors);

    BuildTags(makeForm({"Copyright"}, Fields{{"txtCopyright", "c"}}));
    QCOMPARE(strTags, lines({"<META NAME=\"copyright\" CONTENT=\"c\">"}));
    QCOMPARE(strErrors, QString());
}

// The main window and the Preferences dialog name their check boxes like this.
void TestBuildTags::checkBoxNamesFollowKeys()
{
    QStringList names;
    for (const TagItem &item : Catalogue)
        names << item.checkBoxName();
    QCOMPARE(names, (QStringList{"chkIncludeHTML", "chkTitle", "chkEmail", "chkRefresh",
                                 "chkKeywords", "chkDescription", "chkCopyright",
                                 "chkRevisitAfter", "chkRobot", "chkDCTitle", "chkCreator",
                                 "chkDCDescription", "chkPublisher", "chkContributors"}));
}

QTEST_APPLESS_MAIN(TestBuildTags)
#include "tst_buildtags.moc"
