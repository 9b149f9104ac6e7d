#pragma once

// What assistive tools are told about Qt Quick items: Qt Quick's own account,
// plus the disabled state, which Qt 6.4 never reports, so that a button the
// user cannot press is not read as one they can. Its changes are announced
// too. A button's press action clicks it, which Qt 6.4 leaves undone.
namespace ItemAccessibility {

// For every item asked about from now on. Once per process, before the first
// window shows.
void install();

} // namespace ItemAccessibility
