#include "frmTags.h"

#include "MultiLineTextBox.h"
#include "ProcessTags.h"
#include "Prompts.h"
#include "TextFile.h"
#include "frmErrors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringEncoder>

namespace {

// clang-format off
const WindowSpec Layout{"frmTags", "Tags", 6240, 4095, FrameStyle::FixedToolWindow, {
    {"txtTags", ControlKind::MultiLineTextBox, nullptr, 120, 360, 6015, 3255, NoWrap, nullptr, "Tags"},
    {"cmdSave", ControlKind::Button, "&Save To File", 2040, 3720, 1455, 315, CancelButton},
    {"cmdClose", ControlKind::Button, "Cl&ose", 4920, 3720, 1215, 315, DefaultButton},
    {"cmdCopyToClipboard", ControlKind::Button, "&Copy To Clipboard", 120, 3720, 1815, 315},
    {"lblTags", ControlKind::Label, "The tags you requested, served up fresh and hot...", 120, 75, 3585, 195, SizedToText},
    {"cmdErrors", ControlKind::Button, "&Errors?", 3600, 3720, 1215, 315},
}};
// clang-format on

// A file dialog filter written as "Description|*.a;*.b|Description|*.c" as
// Qt's name filters, "Description (*.a *.b)", one per description. Qt reads
// the patterns from the last bracketed group, so a description that carries
// brackets of its own keeps them; the dialog shows only the description.
QStringList nameFiltersFromPairs(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(QLatin1Char(';')).join(QLatin1Char(' '));
        filters << parts[i] + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

const char *const SaveAsFilter = "HTML File (*.htm, *.html)|*.htm;*.html|Text File (*.txt)|*.txt";

const char *const SaveFailedLines[] = {
    "The file could not be saved. This may be due to one of the following:",
    "- The file could be in use by another application",
    "- The file may be set as read-only",
    "- There may be insufficient disk space to save the file",
};

const QLatin1String CrLf("\r\n");

Prompts::SaveRequest saveAsRequest()
{
    return {QStringLiteral("Save As"), nameFiltersFromPairs(QLatin1String(SaveAsFilter)),
            QStringLiteral("txt")};
}

QString saveFailedText()
{
    QStringList lines;
    for (const char *line : SaveFailedLines)
        lines << QLatin1String(line);
    return lines.join(CrLf);
}

}  // namespace

frmTags::frmTags() : FormWindow(Layout)
{
    onClick("cmdSave", &frmTags::cmdSave_Click);
    onClick("cmdClose", &frmTags::cmdClose_Click);
    onClick("cmdCopyToClipboard", &frmTags::cmdCopyToClipboard_Click);
    onClick("cmdErrors", &frmTags::cmdErrors_Click);
}

void frmTags::Form_Load()
{
    control<MultiLineTextBox>("txtTags")->setText(ProcessTags::strTags);
}

// The text as shown, with the CRLF line ends the tag text was made with.
QString frmTags::currentText() const
{
    return control<MultiLineTextBox>("txtTags")->text(CrLf);
}

void frmTags::cmdSave_Click()
{
    const QString fileName = Prompts::askSaveFileName(this, saveAsRequest());
    if (fileName.isEmpty())
        return;
    // Exactly the text, with no line end added after it: a generated text
    // already ends with CRLF, and one more would leave an empty last line.
    QStringEncoder toSystem(QStringEncoder::System);
    const QByteArray bytes = toSystem(currentText());
    if (!SaveTextFile(fileName, bytes))
        Prompts::showMessage(this, {saveFailedText(), QString(), QMessageBox::NoIcon});
}

void frmTags::cmdClose_Click()
{
    close();
}

void frmTags::cmdCopyToClipboard_Click()
{
    QGuiApplication::clipboard()->setText(currentText());
}

void frmTags::cmdErrors_Click()
{
    openChild<frmErrors>();
}
