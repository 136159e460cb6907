// The tag engine without windows: what the builder writes for a form, one row
// per form state, and the default items between a form and the store.

#include "ProcessTags.h"
#include "Registry.h"

#include <QtTest>

using namespace ProcessTags;
using namespace Registry;

namespace {

// A form made of one map, control name to check value or text.
struct FakeControls final : ItemControls {
    explicit FakeControls(const QVariantMap &map) : controls(map) {}
    int checkValue(const QString &name) const override { return controls.value(name).toInt(); }
    void setCheckValue(const QString &name, int value) override { controls[name] = value; }
    QString text(const QString &name) const override { return controls.value(name).toString(); }
    QVariantMap controls;
};

// The texts, plus every item's check box ("chk" + key) set to one value.
QVariantMap form(QVariantMap texts = {}, int value = Ticked)
{
    for (const TagItem &item : Catalogue)
        texts[QLatin1String("chk") + item.key] = value;
    return texts;
}

QString lines(const QStringList &list) { return list.join("\r\n") + "\r\n"; }

// A form filled in as a user would, and what the user then expects to paste.
const QVariantMap Filled{
    {"txtTitle", "Growing Ferns"}, {"txtEmail", "arlo@example.com"}, {"txtRefreshSeconds", "30"},
    {"txtRefreshURL", "https://www.example.com/"}, {"txtKeywords", "ferns & moss, \"<shade>\""},
    {"txtDescription", "How to grow ferns in the shade."}, {"cboRobot", "NOINDEX"},
    {"txtCopyright", "Copyright 2026 Quillfern"}, {"txtRevisitAfter", "2 weeks"},
    {"txtCreator", "Arlo Venning"}, {"txtPublisher", "Quillfern Press"},
    {"txtContributors", "Hobart Lume, Cassia Drew"}};
const QString FilledTags = lines(
    {"<html>", "<head>", "<title>Growing Ferns</title>",
     "<link REV=\"made\" href=\"mailto:arlo@example.com\">",
     "<META HTTP-EQUIV=\"refresh\" CONTENT=\"30; URL=https://www.example.com/\">",
     "<META NAME=\"keywords\" CONTENT=\"ferns & moss, \"<shade>\"\">",  // nothing escaped
     "<META NAME=\"description\" CONTENT=\"How to grow ferns in the shade.\">",
     "<META NAME=\"copyright\" CONTENT=\"Copyright 2026 Quillfern\">",
     "<META NAME=\"revisit-after\" CONTENT=\"2 weeks\">",
     "<META NAME=\"Robot\" CONTENT=\"NOINDEX\">",
     "<META NAME=\"DC.Title\" CONTENT=\"Growing Ferns\">",
     "<META NAME=\"DC.Creator\" CONTENT=\"Arlo Venning\">",
     "<META NAME=\"DC.Description\" CONTENT=\"How to grow ferns in the shade.\">",
     "<META NAME=\"DC.Publisher\" CONTENT=\"Quillfern Press\">",
     "<META NAME=\"DC.Contributors\" CONTENT=\"Hobart Lume, Cassia Drew\">", "</head>", "</html>"});

}  // namespace

class TestBuildTags : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); }

    void build_data()
    {
        QTest::addColumn<QVariantMap>("controls");
        QTest::addColumn<QString>("tags");
        QTest::addColumn<QString>("errors");

        QTest::newRow("greyed is not ticked") << form(Filled, Greyed) << QString() << QString();
        QTest::newRow("every item") << form(Filled) << FilledTags << QString();
        // The same with every field empty but the address, which alone is no
        // refresh value: each tag without its value, and every error once.
        QString emptyTags = FilledTags;
        for (auto field = Filled.begin(); field != Filled.end(); ++field)
            if (field.key() != "txtRefreshURL")
                emptyTags.remove(field.value().toString());
        QTest::newRow("every error")
            << form({{"txtRefreshURL", Filled["txtRefreshURL"]}}) << emptyTags
            << lines({"Title was checked but there was no value assigned to it",
                      "Email was checked but there was no value assigned to it",
                      "Refresh was checked but there was no value assigned to Refresh Seconds",
                      "Keywords was checked but there was no value assigned to it",
                      "Description was checked but there was no value assigned to it",
                      "Copyright was checked but there was no value assigned to it",
                      "Revisit After was checked but there was no value assigned to it",
                      "Robot was checked but there was no value assigned to it",
                      "DC.Title was checked but there was no value assigned to Title",
                      "Creator was checked but there was no value assigned to it",
                      "DC.Description was checked but there was no value assigned to Description",
                      "Publisher was checked but there was no value assigned to it",
                      "Contributors was checked but there was no value assigned to it"});
    }

    void build()
    {
        QFETCH(QVariantMap, controls);
        // A call that leaves tags and errors behind first: each call starts afresh.
        BuildTags(FakeControls(QVariantMap{{"chkTitle", Ticked}, {"chkEmail", Ticked}}));
        BuildTags(FakeControls(controls));
        QTEST(strTags, "tags");
        QTEST(strErrors, "errors");
    }

    // Of the stored texts only "1" ticks a box and "2" greys it; any other
    // text, or none, unticks it. (Saving them is seen through the Preferences window.)
    void defaultItems()
    {
        const std::string keyPath = "Software\\Quillfern\\Orvane\\DefaultItems";
        for (const QString item : {"IncludeHTML=1", "Title=0", "Email=2", "Refresh=",
                                   "Keywords=yes", "Description=3", "Copyright= 1", "Robot=01"})
            SetRegValue(CurrentUser, keyPath, item.section('=', 0, 0).toStdString(),
                        item.section('=', 1).toStdString());
        // Every box ticked before the load, and two fields it must leave alone.
        const QVariantMap texts{{"txtTitle", "kept"}, {"cboRobot", "mine"}};
        FakeControls loaded(form(texts));
        LoadDefaultItems(loaded);
        QVariantMap expected = form(texts, Unticked);
        expected["chkIncludeHTML"] = Ticked;
        expected["chkEmail"] = Greyed;
        QCOMPARE(loaded.controls, expected);
    }
};

QTEST_APPLESS_MAIN(TestBuildTags)
#include "tst_buildtags.moc"
