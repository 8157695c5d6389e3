#include "platform/FileOpenDialog.h"

#include <QFileDialog>
#include <QStringList>

namespace {
FileOpenHook& fileOpenHook()
{
    static FileOpenHook hook;
    return hook;
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
    // The display names begin with a blank, as the program has always shown
    // them.
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
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(
        request.existingFilesOnly ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size())
        dialog.selectNameFilter(filters[request.selectedFilter]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}
