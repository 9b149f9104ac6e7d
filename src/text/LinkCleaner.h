#pragma once

#include <QString>
#include <QStringView>

#include <array>

// Removes tracking parameters (campaign and click identifiers) from the links
// in a text. Everything else stays exactly as written: the rest of the text,
// and in each link its other query items, still percent-encoded, and its
// fragment. Stateless; callable from any thread.
namespace LinkCleaner {

// Lower case; a name is lower-cased before it is compared.
inline constexpr std::array<QStringView, 7> trackingParameterPrefixes
    = {u"utm_", u"pk_", u"mtm_", u"hsa_", u"matomo_", u"stm_", u"ga_"};

inline constexpr std::array<QStringView, 34> trackingParameterNames = {u"fbclid", u"gclid", u"gclsrc",
    u"dclid", u"gbraid", u"wbraid", u"msclkid", u"mc_eid", u"mc_cid", u"igshid", u"igsh", u"vero_id",
    u"yclid", u"twclid", u"ttclid", u"li_fat_id", u"_hsenc", u"_hsmi", u"oly_enc_id", u"oly_anon_id", u"spm",
    u"scm", u"ref_src", u"ref_url", u"s_cid", u"ncid", u"wickedid", u"irclickid", u"rb_clickid", u"epik",
    u"_openstat", u"action_object_map", u"action_type_map", u"action_ref_map"};

// name is a query item's name, already percent-decoded.
bool isTrackingParameter(QStringView name);

// link without its tracking query items; link itself when it has none. The
// query goes with its last item, "?" included.
QString cleanURL(const QString &link);

// text with every link of it cleaned in its own place.
QString cleanLinks(const QString &text);

} // namespace LinkCleaner
