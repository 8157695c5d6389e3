#include "platform/FileOpenDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QStringList>

namespace {
FileOpenHook& fileOpenHook()
{
    static FileOpenHook hook;
    return hook;
}
// QFileDialog trims the filter names it is given; the program's names
// begin with a blank. The widget-based dialog picks a filter by its position
// in the list, so only the shown text changes here.
void showFilterNamesAsGiven(QFileDialog& dialog, const QStringList& filters)
{
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (!combo || combo->count() != filters.size())
        return;
    for (int i = 0; i < filters.size(); ++i)
        combo->setItemText(i, filters[i]);
}

} // namespace

void setFileOpenHook(FileOpenHook hook)
{
    fileOpenHook() = std::move(hook);
}

FileOpenRequest dataFileRequest()
{
    FileOpenRequest request;
    request.title = "Open Data File";
    // The display names begin with a blank; the file-dialog test pins the
    // exact texts.
    request.filters = { " Data files (*.dat)", " Text files (*.txt)", " All Files (*)" };
    request.selectedFilter = 0;
    request.existingFilesOnly = true;
    return request;
}

std::optional<std::string> getOpenFileName(QWidget* parent, const FileOpenRequest& request)
{
    if (fileOpenHook())
        return fileOpenHook()(request);

    QStringList filters;
    for (const std::string& filter : request.filters)
        filters << QString::fromStdString(filter);
    QFileDialog dialog(parent, QString::fromStdString(request.title));
    dialog.setAcceptMode(request.saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(
        request.existingFilesOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    showFilterNamesAsGiven(dialog, filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size())
        dialog.selectNameFilter(filters[request.selectedFilter]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}
