#pragma once

#include "tools/TextTransform.h"
#include "ui/menubar/MenuItem.h"

#include <QString>

// The transforms as menu items, shared by the status menu and the history
// rows.
namespace TransformMenu {

QString symbol(TextTransform transform);

// One item per transform, a separator between runs of different groups;
// each item carries its transform's raw value to action.
MenuModel items(const QList<TextTransform> &transforms, const MenuItem::Action &action);

} // namespace TransformMenu
