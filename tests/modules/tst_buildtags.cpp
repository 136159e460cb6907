// The tag engine without windows: the builder and its catalogue byte for byte,
// one row per form state, and the default items between a form and the store.

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

// The texts, plus the check boxes of the named items ("chk" + key) set to one value.
QVariantMap form(const QStringList &keys, QVariantMap texts = {}, int value = Ticked)
{
    for (const QString &key : keys)
        texts[QLatin1String("chk") + key] = value;
    return texts;
}

QString lines(const QStringList &list) { return list.join("\r\n") + "\r\n"; }

QString error(const QString &item, const QString &field = "it")
{
    return item + " was checked but there was no value assigned to " + field;
}

const QStringList EveryKey = {
    "IncludeHTML",  "Title", "Email",   "Refresh", "Keywords",      "Description", "Copyright",
    "RevisitAfter", "Robot", "DCTitle", "Creator", "DCDescription", "Publisher",   "Contributors"};

// Every item ticked, each field holding its own name and the refresh address a
// blank: every template byte once, in catalogue order.
const QString EveryTag = lines(
    {"<html>", "<head>", "<title>txtTitle</title>", "<link REV=\"made\" href=\"mailto:txtEmail\">",
     "<META HTTP-EQUIV=\"refresh\" CONTENT=\"txtRefreshSeconds; URL= \">",
     "<META NAME=\"keywords\" CONTENT=\"txtKeywords\">",
     "<META NAME=\"description\" CONTENT=\"txtDescription\">",
     "<META NAME=\"copyright\" CONTENT=\"txtCopyright\">",
     "<META NAME=\"revisit-after\" CONTENT=\"txtRevisitAfter\">",
     "<META NAME=\"Robot\" CONTENT=\"cboRobot\">", "<META NAME=\"DC.Title\" CONTENT=\"txtTitle\">",
     "<META NAME=\"DC.Creator\" CONTENT=\"txtCreator\">",
     "<META NAME=\"DC.Description\" CONTENT=\"txtDescription\">",
     "<META NAME=\"DC.Publisher\" CONTENT=\"txtPublisher\">",
     "<META NAME=\"DC.Contributors\" CONTENT=\"txtContributors\">", "</head>", "</html>"});

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

        QVariantMap everyField{{"txtRefreshURL", " "}};
        for (const char *name : {"txtTitle", "txtEmail", "txtRefreshSeconds", "txtKeywords",
                                 "txtDescription", "txtCopyright", "txtRevisitAfter", "cboRobot",
                                 "txtCreator", "txtPublisher", "txtContributors"})
            everyField[name] = name;

        // A titled page that refreshes itself and keeps robots out.
        QTest::newRow("worked example")
            << form({"IncludeHTML", "Title", "Refresh", "Robot"},
                    {{"txtTitle", "Page Title"}, {"txtRefreshSeconds", "12"}, {"cboRobot", "NONE"}})
            << lines({"<html>", "<head>", "<title>Page Title</title>",
                      "<META HTTP-EQUIV=\"refresh\" CONTENT=\"12\">",
                      "<META NAME=\"Robot\" CONTENT=\"NONE\">", "</head>", "</html>"})
            << QString();
        QTest::newRow("nothing ticked") << form({}, everyField) << QString() << QString();
        QTest::newRow("greyed is not ticked")
            << form(EveryKey, everyField, Greyed) << QString() << QString();
        QTest::newRow("only the wrapper")
            << form({"IncludeHTML"}, everyField)
            << lines({"<html>", "<head>", "</head>", "</html>"}) << QString();
        QTest::newRow("a blank is a value, nothing is escaped")
            << form({"Copyright", "Keywords"}, {{"txtCopyright", " "}, {"txtKeywords", "<&\">"}})
            << lines({"<META NAME=\"keywords\" CONTENT=\"<&\">\">",
                      "<META NAME=\"copyright\" CONTENT=\" \">"})
            << QString();
        QTest::newRow("every item") << form(EveryKey, everyField) << EveryTag << QString();
        // The same with every field empty but the address, which alone is no refresh
        // value: every error message once, Title's before DC.Title's.
        QTest::newRow("every error")
            << form(EveryKey, {{"txtRefreshURL", " "}})
            << QString(EveryTag).remove(QRegularExpression("(txt|cbo)\\w+"))
            << lines({error("Title"), error("Email"), error("Refresh", "Refresh Seconds"),
                      error("Keywords"), error("Description"), error("Copyright"),
                      error("Revisit After"), error("Robot"), error("DC.Title", "Title"),
                      error("Creator"), error("DC.Description", "Description"), error("Publisher"),
                      error("Contributors")});
    }

    void build()
    {
        QFETCH(QVariantMap, controls);
        // A call that leaves tags and errors behind first: each call starts afresh.
        BuildTags(FakeControls(form({"Title", "Email"})));
        BuildTags(FakeControls(controls));
        QTEST(strTags, "tags");
        QTEST(strErrors, "errors");
    }

    // Loading unticks every box while nothing is stored. Of the stored texts only
    // "1" ticks a box and "2" greys it; any other text, or none, unticks it.
    void defaultItems()
    {
        const std::string keyPath = "Software\\Quillfern\\Orvane\\DefaultItems";
        // Every box ticked before each load, and two fields it must leave alone.
        const QVariantMap texts{{"txtTitle", "kept"}, {"cboRobot", "mine"}};
        FakeControls loaded(form(EveryKey, texts));
        LoadDefaultItems(loaded);
        QCOMPARE(loaded.controls, form(EveryKey, texts, Unticked));

        for (const QString item : {"IncludeHTML=1", "Title=0", "Email=2", "Refresh=",
                                   "Keywords=yes", "Description=3", "Copyright= 1", "Robot=01"})
            SetRegValue(CurrentUser, keyPath, item.section('=', 0, 0).toStdString(),
                        item.section('=', 1).toStdString());
        loaded.controls = form(EveryKey, texts);
        LoadDefaultItems(loaded);
        QVariantMap expected = form(EveryKey, texts, Unticked);
        expected["chkIncludeHTML"] = Ticked;
        expected["chkEmail"] = Greyed;
        QCOMPARE(loaded.controls, expected);
        // The greyed Email box is not ticked for the builder: only the wrapper.
        BuildTags(loaded);
        QCOMPARE(strTags, lines({"<html>", "<head>", "</head>", "</html>"}));

        // Saving writes all fourteen states, here in catalogue order.
        SaveDefaultItems(loaded);
        QString saved;
        for (const QString &key : EveryKey)
            saved += QString::fromStdString(
                GetRegValue(CurrentUser, keyPath, key.toStdString()).value_or("-"));
        QCOMPARE(saved, QString("10200000000000"));
    }
};

QTEST_APPLESS_MAIN(TestBuildTags)
#include "tst_buildtags.moc"
