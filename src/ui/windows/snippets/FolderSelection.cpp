#include "ui/windows/snippets/FolderSelection.h"

#include "text/CanonicalText.h"

using namespace Qt::StringLiterals;

bool FolderSelection::operator==(const FolderSelection &other) const
{
    return kind == other.kind && (kind != Kind::folder || CanonicalText::equal(name, other.name));
}

bool FolderSelection::contains(const Snippet &snippet) const
{
    switch (kind) {
    case Kind::all:
        return true;
    case Kind::ungrouped:
        // A snippet filed under the empty name has a folder.
        return !snippet.group;
    case Kind::folder:
        return snippet.group && CanonicalText::equal(*snippet.group, name);
    }
    return false;
}

QString FolderSelection::title() const
{
    switch (kind) {
    case Kind::all:
        return u"All Snippets"_s;
    case Kind::ungrouped:
        return u"Ungrouped"_s;
    case Kind::folder:
        return name;
    }
    return {};
}
