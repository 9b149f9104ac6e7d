#pragma once

#include "records/Snippet.h"

#include <QString>

// What the snippet editor's sidebar has selected: every snippet, the
// snippets without a folder, or one folder.
struct FolderSelection {
    enum class Kind {
        all,
        ungrouped,
        folder,
    };

    Kind kind = Kind::all;
    // The folder's name; empty for the other kinds.
    QString name {};

    static FolderSelection folder(const QString &name) { return {Kind::folder, name}; }

    // Folder names are equal when canonically equivalent.
    bool operator==(const FolderSelection &other) const;
    bool contains(const Snippet &snippet) const;
    // The list column's title.
    QString title() const;
};
