#include "ui/windows/snippets/FolderRenamePrompt.h"

#include "ui/windows/FieldPrompt.h"

using namespace Qt::StringLiterals;

namespace FolderRenamePrompt {

std::optional<QString> ask(const QString &name)
{
    const QString note = u"Enter a new name for \"%1\"."_s.arg(name);
    return FieldPrompt {.windowTitle = u"Rename Folder"_s,
        .message = u"Rename Folder"_s,
        .note = note,
        .acceptTitle = u"Rename"_s,
        .accessibleName = note,
        .text = name}
        .ask();
}

} // namespace FolderRenamePrompt
