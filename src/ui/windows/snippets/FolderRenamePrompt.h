#pragma once

#include <QString>

#include <optional>

// The modal prompt for a folder's new name, filled with its current name.
namespace FolderRenamePrompt {

// The field's text when the user chose "Rename"; nothing otherwise.
std::optional<QString> ask(const QString &name);

} // namespace FolderRenamePrompt
