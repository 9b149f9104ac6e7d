#include "ui/menubar/TransformMenu.h"

using namespace Qt::StringLiterals;

namespace TransformMenu {

QString symbol(TextTransform transform)
{
    switch (transform.kind()) {
    case TextTransform::prettyJSON:
        return u"curlybraces"_s;
    case TextTransform::minifyJSON:
        return u"arrow.down.right.and.arrow.up.left"_s;
    case TextTransform::jwtDecode:
        return u"key.viewfinder"_s;
    case TextTransform::base64Encode:
        return u"lock.doc"_s;
    case TextTransform::base64Decode:
        return u"lock.open"_s;
    case TextTransform::urlEncode:
        return u"link.badge.plus"_s;
    case TextTransform::urlDecode:
        return u"link"_s;
    case TextTransform::sha256:
        return u"number"_s;
    case TextTransform::trim:
        return u"scissors"_s;
    case TextTransform::joinLines:
        return u"text.justify"_s;
    case TextTransform::sortLines:
        return u"arrow.up.arrow.down"_s;
    case TextTransform::uniqueLines:
        return u"line.3.horizontal.decrease"_s;
    }
    return {};
}

MenuModel items(const QList<TextTransform> &transforms, const MenuItem::Action &action)
{
    MenuModel items;
    for (const QList<TextTransform> &group : TextTransform::groupTransforms(transforms)) {
        if (!items.isEmpty())
            items.append(MenuItem::separator());
        for (const TextTransform transform : group) {
            MenuItem made;
            made.title = transform.title();
            made.symbol = symbol(transform);
            made.payload = transform.rawValue();
            made.action = action;
            items.append(std::move(made));
        }
    }
    return items;
}

} // namespace TransformMenu
